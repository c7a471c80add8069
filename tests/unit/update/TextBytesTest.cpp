// The Japanese texts are stored as code page 932 bytes.
#include "DeviceFixture.h"

#include "update/UpdaterDevice.h"

namespace {

std::string bytes(std::initializer_list<unsigned> values) {
    std::string text;
    for (unsigned v : values)
        text += static_cast<char>(v);
    return text;
}

using TextBytes = DeviceTest;

TEST_F(TextBytes, JapaneseMessagesAreCodePage932) {
    UpdaterDevice device;
    device.reportError(UPDERR_ABORTED, 0, 0);
    // 中断しました.\r\n
    EXPECT_EQ(bytes({0x92, 0x86, 0x92, 0x66, 0x82, 0xB5, 0x82, 0xDC, 0x82, 0xB5, 0x82, 0xBD, 0x2E,
                     0x0D, 0x0A}),
              device.getLastMessage());

    device.reportError(USBERR_NOT_OPENED, 0, 0);
    // ハルモカと接続していません.\r\n
    EXPECT_EQ(bytes({0x83, 0x6E, 0x83, 0x8B, 0x83, 0x82, 0x83, 0x4A, 0x82, 0xC6,
                     0x90, 0xDA, 0x91, 0xB1, 0x82, 0xB5, 0x82, 0xC4, 0x82, 0xA2,
                     0x82, 0xDC, 0x82, 0xB9, 0x82, 0xF1, 0x2E, 0x0D, 0x0A}),
              device.getLastMessage());
}

} // namespace
