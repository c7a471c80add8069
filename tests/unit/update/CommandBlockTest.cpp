// The 64-byte command block and its write on the command pipe.
#include "DeviceFixture.h"

#include "update/UpdaterDevice.h"

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

TEST(CommandBlock, ParameterIsLittleEndian) {
    const CommandBlock block = CommandBlock::encode(1, 2, 0xBEEF, 0, nullptr);
    EXPECT_EQ(0xEF, block.bytes[2]);
    EXPECT_EQ(0xBE, block.bytes[3]);
}

TEST(CommandBlock, NameOfThirtyTwoBytesFillsTheFieldWithoutTerminator) {
    const std::string name(40, 'N');
    const CommandBlock block = CommandBlock::encode(0xFE, 0xFE, 0, 0, name.c_str());
    for (int i = 8; i < 40; ++i)
        EXPECT_EQ('N', block.bytes[i]) << i;
    for (int i = 40; i < 64; ++i)
        EXPECT_EQ(0, block.bytes[i]) << i;
}

TEST(CommandBlock, ShortNameLeavesTheRestOfTheFieldZero) {
    const CommandBlock block = CommandBlock::encode(0xFE, 0xFE, 0, 0, "ab");
    EXPECT_EQ('a', block.bytes[8]);
    EXPECT_EQ('b', block.bytes[9]);
    for (int i = 10; i < 64; ++i)
        EXPECT_EQ(0, block.bytes[i]) << i;
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

TEST_F(CommandBlockWrite, FailedWriteReturnsTheReportedCodeWithoutThePause) {
    UpdaterDevice device;
    ASSERT_EQ(0, device.open(0x201));
    pipe(2).closeFarEnd();
    EXPECT_EQ(USBERR_WRITE_PIPE, device.sendCommand(0xFE, 0xFE, 0, 10));
    EXPECT_TRUE(clock().sleeps.empty());
    EXPECT_EQ(writePipeError(2, device.lastErrorDetail()), device.getLastMessage());
}

} // namespace
