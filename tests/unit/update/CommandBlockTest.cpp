// The 64-byte command block and its write on the command pipe.
#include "unit/device/DeviceFixture.h"
#include "update/UpdaterDevice.h"

#include <algorithm>

namespace {

TEST(CommandBlock, FirmwareBlockBytes) {
    const CommandBlock block = CommandBlock::encode(0xFE, 0xFE, 0, 0x12345678, nullptr);
    Bytes expected(64, 0);
    expected[0] = 0xFE;
    expected[1] = 0xFE;
    expected[4] = 0x78;
    expected[5] = 0x56;
    expected[6] = 0x34;
    expected[7] = 0x12;
    EXPECT_EQ(expected, Bytes(block.bytes.begin(), block.bytes.end()));
}

// The name field (8..39) takes up to 32 bytes, without a terminator when full.
TEST(CommandBlock, NameFillsItsFieldAndNothingBeyond) {
    for (const std::string name : {"ab", "0123456789abcdefghijklmnopqrstuvWXYZ"}) {
        const CommandBlock block = CommandBlock::encode(0xFE, 0xFE, 0, 0, name.c_str());
        Bytes expected(64, 0);
        expected[0] = expected[1] = 0xFE;
        std::copy_n(name.begin(), std::min<size_t>(name.size(), 32), expected.begin() + 8);
        EXPECT_EQ(expected, Bytes(block.bytes.begin(), block.bytes.end())) << name;
    }
}

using CommandBlockWrite = DeviceTest;

TEST_F(CommandBlockWrite, SendCommandTakesTheLowBitsOfEachField) {
    UpdaterDevice device;
    ASSERT_EQ(0, device.open(0x201));
    calls().clear();
    EXPECT_EQ(0, device.sendCommand(0x1FE, 0x2FD, 0x12345, 1000));
    EXPECT_EQ(Calls{"ResetPipe(pipe2)"}, calls());
    EXPECT_EQ(std::vector<DWORD>{2}, clock().sleeps);
    const std::vector<Bytes> writes = pipe(2).readAvailable();
    ASSERT_EQ(1u, writes.size());
    const Bytes& b = writes[0];
    ASSERT_EQ(64u, b.size());
    EXPECT_EQ(0xFE, b[0]);
    EXPECT_EQ(0xFD, b[1]);
    EXPECT_EQ(0x45, b[2]);
    EXPECT_EQ(0x23, b[3]);
    EXPECT_EQ(0xE8, b[4]);
    EXPECT_EQ(0x03, b[5]);
}

} // namespace
