// UsbDevice: construction, open and close, pipe abort and reset, error reporting.
#include "device/UsbDevice.h"

#include "device/SystemText.h"
#include "device/VendorRequest.h"
#include "platform/Clock.h"
#include "framework/TextFormat.h"
#include "platform/kovusbd.h"

namespace {

constexpr DWORD systemTextSize = 4096;

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
    switch (code) {
    case USBERR_ALREADY_OPENED:
        lastMessage = "Device already opened.\r\n";
        break;
    case USBERR_NOT_OPENED:
        lastMessage = "Device not opened.\r\n";
        break;
    case USBERR_OPEN_DEVICE:
        lastMessage = "Fail to open device.";
        break;
    case USBERR_OPEN_PIPE:
        lastMessage = framework::formatText("Fail to open pipe #%d. Code = %d: %s", pipeIndex,
                                            detail, formatSystemError(detail).c_str());
        break;
    case USBERR_READ_PIPE:
        lastMessage = framework::formatText("Read pipe#%d error. Code == %d: %s", pipeIndex, detail,
                                            formatSystemError(detail).c_str());
        break;
    case USBERR_WRITE_PIPE:
        lastMessage = framework::formatText("Write pipe#%d error. Code == %d: %s", pipeIndex,
                                            detail, formatSystemError(detail).c_str());
        break;
    case USBERR_VENDOR_REQUEST:
        lastMessage = framework::formatText("Vendor request error. Code == %d: %s", detail,
                                            formatSystemError(detail).c_str());
        break;
    case USBERR_ZERO_LENGTH:
        lastMessage = "Zero length packet returned.\r\n";
        break;
    default:
        lastMessage = framework::formatText("Internal error(%d). Detail == %d: %s", code, detail,
                                            formatSystemError(detail).c_str());
        break;
    }
}

std::string UsbDevice::formatSystemError(int code) {
    wchar_t text[systemTextSize] = {};
    // On failure the buffer stays zeroed: no system text gives an empty string. The text is
    // read in UTF-16, not in the system's ANSI code page, which need not be 932.
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(code), 0, text, systemTextSize, nullptr);
    text[systemTextSize - 1] = L'\0';
    return toCodePage932(text);
}
