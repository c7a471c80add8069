// The Japanese texts are stored as code page 932 bytes.
#include "unit/device/DeviceFixture.h"
#include "update/UpdaterDevice.h"

namespace {

std::string bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned v : values)
        text += static_cast<char>(v);
    return text;
}

using TextBytes = DeviceTest;

TEST_F(TextBytes, JapaneseMessageIsCodePage932) {
    UpdaterDevice device;
    device.reportError(UPDERR_ABORTED, 0, 0);
    // 中断しました.\r\n
    EXPECT_EQ(bytes({0x92, 0x86, 0x92, 0x66, 0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD, 0x2E,
                     0x0D, 0x0A}),
              device.getLastMessage());
}

} // namespace
