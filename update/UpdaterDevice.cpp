// UpdaterDevice: open with the identity reads, Japanese texts, status code, waitForIdle.
#include "update/UpdaterDevice.h"

#include "base/TextFormat.h"
#include "platform/Clock.h"

namespace {

constexpr DWORD idlePause = 100;
constexpr DWORD pollPause = 10;
constexpr DWORD noTimeout = INFINITE;

struct JapaneseText {
    int code;
    const char* text;
};

constexpr JapaneseText japaneseTexts[] = {
    {USBERR_ALREADY_OPENED, "既にハルモカと接続しています.\r\n"},
    {USBERR_NOT_OPENED, "ハルモカと接続していません.\r\n"},
    {USBERR_OPEN_DEVICE, "ハルモカとの接続に失敗しました.\r\n"},
    {USBERR_TIMEOUT, "タイムアウトが発生しました.\r\n"},
    {UPDERR_FILE_BROKEN, "ファイルが壊れています.\r\n"},
    {UPDERR_ABORTED, "中断しました.\r\n"},
};

} // namespace

UpdaterDevice::UpdaterDevice() : identity{0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}} {}

UpdaterDevice::~UpdaterDevice() = default;

int UpdaterDevice::open(int selector) {
    const int result = UsbDevice::open(selector);
    if (result != 0)
        return result;
    // A failed identity read has reported the vendor-request text; closing an open connection
    // reports nothing, so that text stays.
    if (readSerialNumber() != 0) {
        close();
        return -1;
    }
    if (readRevision() != 0) {
        close();
        return -1;
    }
    return 0;
}

int UpdaterDevice::readSerialNumber() {
    // Read into a copy so that a failed request leaves the identity as it was.
    std::uint8_t reply[4];
    if (querySerial(reply) != 0)
        return -1;
    identity.serialNumber =
        static_cast<std::uint32_t>(reply[0]) | static_cast<std::uint32_t>(reply[1]) << 8 |
        static_cast<std::uint32_t>(reply[2]) << 16 | static_cast<std::uint32_t>(reply[3]) << 24;
    return 0;
}

int UpdaterDevice::readRevision() {
    std::uint8_t reply[4];
    if (queryRevision(reply) != 0)
        return -1;
    identity.revision = FirmwareRevision{reply[0], reply[1], reply[2], reply[3]};
    return 0;
}

void UpdaterDevice::reportError(int code, int detail, int pipeIndex) noexcept {
    setMessageOrFallback([&] { setUserText(code, detail, pipeIndex); });
}

// The codes a user may meet get Japanese texts; only the text changes: lastError and
// lastDetail keep what an earlier failure left there (0 after clearError), so after a refused
// open they do not name its code. A status code goes to setStatusCode. Every other code
// takes the English text.
void UpdaterDevice::setUserText(int code, int detail, int pipeIndex) {
    if (code == UPDERR_STATUS) {
        setStatusCode(detail);
        return;
    }
    for (const JapaneseText& text : japaneseTexts) {
        if (text.code == code) {
            lastMessage = text.text;
            return;
        }
    }
    UsbDevice::reportError(code, detail, pipeIndex);
}

void UpdaterDevice::setStatusCode(int code) {
    statusCode = code;
    if (code != 0)
        lastMessage = formatText("Status error. Code == %d\r\n", code);
    else
        lastMessage.clear();
}

int UpdaterDevice::waitForIdle(DWORD timeout) {
    platform::sleep(idlePause);
    const DWORD start = platform::tickCount();
    int status = readStatus0();
    while (status >= 1) {
        platform::sleep(pollPause);
        if (timeout != noTimeout && platform::tickCount() - start > timeout)
            return USBERR_TIMEOUT;
        status = readStatus0();
    }
    return status;
}
