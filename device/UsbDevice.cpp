// UsbDevice: construction, open and close, pipe abort and reset, error reporting.
#include "device/UsbDevice.h"

#include "base/TextConversion.h"
#include "base/TextFormat.h"
#include "device/VendorRequest.h"
#include "platform/Clock.h"
#include "platform/kovusbd.h"

#include <iterator>

namespace {

constexpr DWORD systemTextSize = 4096;

// What a text quotes after its words: the pipe or the code, then the detail and its system text.
enum class Quotes { nothing, detail, pipeAndDetail, codeAndDetail };

struct ErrorText {
    int code;
    Quotes quotes;
    const char* format;
};

// The last entry takes every other code, the update's among them.
constexpr ErrorText errorTexts[] = {
    {USBERR_ALREADY_OPENED, Quotes::nothing, "Device already opened.\r\n"},
    {USBERR_NOT_OPENED, Quotes::nothing, "Device not opened.\r\n"},
    {USBERR_OPEN_DEVICE, Quotes::nothing, "Fail to open device."},
    {USBERR_OPEN_PIPE, Quotes::pipeAndDetail, "Fail to open pipe #%d. Code = %d: %s"},
    {USBERR_READ_PIPE, Quotes::pipeAndDetail, "Read pipe#%d error. Code == %d: %s"},
    {USBERR_WRITE_PIPE, Quotes::pipeAndDetail, "Write pipe#%d error. Code == %d: %s"},
    {USBERR_VENDOR_REQUEST, Quotes::detail, "Vendor request error. Code == %d: %s"},
    {USBERR_ZERO_LENGTH, Quotes::nothing, "Zero length packet returned.\r\n"},
    {0, Quotes::codeAndDetail, "Internal error(%d). Detail == %d: %s"},
};

} // namespace

UsbDevice::UsbDevice() : bounceBuffer(new std::uint8_t[bounceBufferSize]) {
    // Aged by exactly the cache period, so the first read of each word goes to the device.
    const DWORD aged = platform::tickCount() - statusCacheMilliseconds;
    for (DWORD& time : statusTime)
        time = aged;
}

UsbDevice::~UsbDevice() {
    if (isOpen)
        UsbDevice::close();
}

int UsbDevice::open(int selector) {
    if (isOpen) {
        reportError(USBERR_ALREADY_OPENED, 0, 0);
        return USBERR_ALREADY_OPENED;
    }

    deviceHandle = KovOpenDevice(static_cast<DWORD>(selector));
    if (deviceHandle == INVALID_HANDLE_VALUE) {
        reportError(USBERR_OPEN_DEVICE, static_cast<int>(GetLastError()), 0);
        return USBERR_OPEN_DEVICE;
    }

    DWORD configuration = 0;
    if (readConfig(&configuration) != 0) {
        KovCloseDevice(deviceHandle);
        deviceHandle = INVALID_HANDLE_VALUE;
        return USBERR_VENDOR_REQUEST;
    }
    highSpeed = static_cast<int>(configuration & 1);

    for (int i = 0; i < pipeCount; ++i) {
        pipeHandles[i] = KovOpenPipe(deviceHandle, 0, static_cast<DWORD>(i));
        if (pipeHandles[i] == INVALID_HANDLE_VALUE) {
            reportError(USBERR_OPEN_PIPE, static_cast<int>(GetLastError()), i);
            // Undo the pipes opened so far, newest first; nothing is in flight on them yet.
            for (int j = i - 1; j >= 0; --j) {
                CloseHandle(pipeHandles[j]);
                pipeHandles[j] = INVALID_HANDLE_VALUE;
            }
            KovCloseDevice(deviceHandle);
            deviceHandle = INVALID_HANDLE_VALUE;
            return USBERR_OPEN_PIPE;
        }
        abortPipe(i);
    }

    isOpen = 1;
    return 0;
}

int UsbDevice::close() {
    if (!isOpen) {
        reportError(USBERR_NOT_OPENED, 0, 0);
        return 1;
    }
    closePipes();
    KovCloseDevice(deviceHandle);
    deviceHandle = INVALID_HANDLE_VALUE;
    isOpen = 0;
    return 0;
}

void UsbDevice::closePipes() {
    for (int i = 0; i < pipeCount; ++i) {
        abortPipe(i);
        CancelIo(pipeHandles[i]);
        CloseHandle(pipeHandles[i]);
        pipeHandles[i] = INVALID_HANDLE_VALUE;
    }
}

int UsbDevice::readConfig(DWORD* word) {
    return controlRequest(1, requestConfiguration, 0, sizeof(DWORD), word, USBERR_VENDOR_REQUEST);
}

DWORD UsbDevice::abortPipe(int index) {
    return KovAbortPipe(pipeHandles[index]);
}

DWORD UsbDevice::resetPipe(int index) {
    return KovResetPipe(pipeHandles[index]);
}

void UsbDevice::clearError() {
    lastError = 0;
    lastDetail = 0;
    lastMessage.clear();
}

void UsbDevice::reportError(int code, int detail, int pipeIndex) noexcept {
    lastError = code;
    lastDetail = detail;
    setMessageOrFallback([&] { setErrorText(code, detail, pipeIndex); });
}

void UsbDevice::setErrorText(int code, int detail, int pipeIndex) {
    const ErrorText* text = std::begin(errorTexts);
    while (text->code != code && text + 1 != std::end(errorTexts))
        ++text;
    if (text->quotes == Quotes::nothing) {
        lastMessage = text->format;
        return;
    }
    const std::string system = formatSystemError(detail);
    if (text->quotes == Quotes::detail)
        lastMessage = formatText(text->format, detail, system.c_str());
    else
        lastMessage =
            formatText(text->format, text->quotes == Quotes::pipeAndDetail ? pipeIndex : code,
                       detail, system.c_str());
}

std::string UsbDevice::formatSystemError(int code) {
    wchar_t text[systemTextSize] = {};
    // On failure the buffer stays zeroed: no system text gives an empty string. The text is
    // read in UTF-16, not in the system's ANSI code page, which need not be 932.
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(code), 0, text, systemTextSize, nullptr);
    text[systemTextSize - 1] = L'\0';
    return toCodePage932AsciiFit(text);
}
