// UsbDevice against the simulator: the exchange on the wire when connecting, the identity the
// scenario chooses, reconnects, what the device refuses, and data that arrives wrong, late or
// not at all.
#include "SimFixture.h"
#include "base/Handle.h"
#include "platform/kovusbd.h"

namespace {

constexpr int selector = 513;

Bytes commandBlock(std::uint32_t length) {
    Bytes block(64, 0);
    block[0] = block[1] = 0xFE;
    for (int i = 0; i < 4; ++i)
        block[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return block;
}

Bytes reply(int (UsbDevice::*query)(void*), UsbDevice& device) {
    Bytes bytes(4, 0xEE);
    EXPECT_EQ(0, (device.*query)(bytes.data()));
    return bytes;
}

class UsbDeviceSim : public SimTest {
protected:
    // Request 0xB3, the command block, then the data, as a transfer goes.
    int transfer(const Bytes& data, std::uint32_t announced) {
        EXPECT_EQ(0, device.sendControl0());
        device.resetPipe(UsbDevice::commandPipe);
        const Bytes block = commandBlock(announced);
        EXPECT_EQ(64, device.writeCommand(block.data(), 64));
        return device.writeData(data.data(), static_cast<DWORD>(data.size()));
    }

    UsbDevice device;
};

TEST_F(UsbDeviceSim, ConnectsAndReadsTheIdentityOfTheDefaultDevice) {
    ASSERT_EQ(0, device.open(selector));
    EXPECT_TRUE(device.isHighSpeed());
    EXPECT_EQ((Bytes{0x56, 0x34, 0x12, 0x00}), reply(&UsbDevice::querySerial, device));
    EXPECT_EQ((Bytes{1, 0, 'a', 0}), reply(&UsbDevice::queryRevision, device));
    EXPECT_EQ(0, device.readStatus0());
    EXPECT_EQ(0, device.close());

    EXPECT_EQ((Lines{
                  "KovOpenDevice(513) = dev err=0",
                  "KovControlRequest(dev, 1, 0, 0xB1, 0, 0, 4, buf) = 1 err=0 reply=0x00000001",
                  "KovOpenPipe(dev, 0, 0) = pipe0 err=0",
                  "KovAbortPipe(pipe0) = 1 err=0",
                  "KovOpenPipe(dev, 0, 1) = pipe1 err=0",
                  "KovAbortPipe(pipe1) = 1 err=0",
                  "KovOpenPipe(dev, 0, 2) = pipe2 err=0",
                  "KovAbortPipe(pipe2) = 1 err=0",
                  "KovControlRequest(dev, 1, 0, 0xB5, 0, 0, 4, buf) = 1 err=0 reply=0x00123456",
                  "KovControlRequest(dev, 1, 0, 0xB6, 0, 0, 4, buf) = 1 err=0 reply=0x00610001",
                  "KovControlRequest(dev, 1, 0, 0xB2, 0, 0, 4, buf) = 1 err=0 reply=0x00000000",
                  "KovAbortPipe(pipe0) = 1 err=0",
                  "KovAbortPipe(pipe1) = 1 err=0",
                  "KovAbortPipe(pipe2) = 1 err=0",
                  "KovCloseDevice(dev) = 1 err=0",
              }),
              trace());
}

TEST_F(UsbDeviceSim, EachOpenReadsTheScenarioAgain) {
    scenario("# a full-speed device of another variant\n"
             "speed = full\n"
             "serial = 0xAB654321   # the top byte is not part of the number\n"
             "revision = 2.5x\n"
             "status1 = 7\n"
             "status2 = 0x10000\n");
    ASSERT_EQ(0, device.open(selector));
    EXPECT_FALSE(device.isHighSpeed());
    EXPECT_EQ((Bytes{0x21, 0x43, 0x65, 0xAB}), reply(&UsbDevice::querySerial, device));
    EXPECT_EQ((Bytes{2, 5, 'x', 0}), reply(&UsbDevice::queryRevision, device));
    EXPECT_EQ(7, device.readStatus1());
    EXPECT_EQ(0x10000, device.readStatus2());
    device.close();

    scenario("revision = 3, 4, 0, 0xFF\n");
    ASSERT_EQ(0, device.open(selector));
    EXPECT_TRUE(device.isHighSpeed());
    EXPECT_EQ((Bytes{3, 4, 0, 0xFF}), reply(&UsbDevice::queryRevision, device));
    device.close();
    EXPECT_EQ(2u, traceLines("KovCloseDevice(dev) = 1").size());
}

TEST_F(UsbDeviceSim, AnUnreadableScenarioRefusesTheOpenAndSaysWhy) {
    scenario("speed = high\nsped = full\n");
    EXPECT_EQ(USBERR_OPEN_DEVICE, device.open(selector));
    EXPECT_EQ(ERROR_INVALID_DATA, device.lastErrorDetail());
    const Lines lines = trace();
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("scenario.txt: line 2: unknown key \"sped\""))
        << lines[0];
    EXPECT_EQ("KovOpenDevice(513) = -1 err=13", lines[1]);

    scenario("status = 1, 2:held, 0\n");
    EXPECT_EQ(USBERR_OPEN_DEVICE, device.open(selector));
    EXPECT_EQ(ERROR_INVALID_DATA, device.lastErrorDetail());
    EXPECT_NE(std::string::npos, trace()[2].find("scenario.txt: held without release_file"));

    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", file(L"missing.txt").c_str());
    EXPECT_EQ(USBERR_OPEN_DEVICE, device.open(selector));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, device.lastErrorDetail());
}

// What the driver library refuses, called directly: each refusal leaves its reason in the
// thread's last-error code.
TEST_F(UsbDeviceSim, TheDriverRefusesWhatTheDeviceDoesNotSupport) {
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, KovOpenDevice(512));
    EXPECT_EQ(DWORD{ERROR_FILE_NOT_FOUND}, GetLastError());

    HANDLE dev = KovOpenDevice(selector);
    ASSERT_NE(INVALID_HANDLE_VALUE, dev);
    DWORD word = 0;
    const auto refusal = [&](DWORD direction, DWORD request, DWORD index, DWORD length) {
        SetLastError(0);
        const BOOL done = KovControlRequest(dev, direction, 0, request, 0, index, length,
                                            length ? &word : nullptr);
        return done ? DWORD{0} : GetLastError();
    };
    EXPECT_EQ(DWORD{ERROR_GEN_FAILURE}, refusal(1, 0xB4, 0, 4)) << "no request 0xB4";
    EXPECT_EQ(DWORD{ERROR_GEN_FAILURE}, refusal(1, 0xB2, 3, 4)) << "three status words";
    EXPECT_EQ(DWORD{ERROR_GEN_FAILURE}, refusal(0, 0xB1, 0, 0)) << "0xB1 has a data stage";
    EXPECT_EQ(DWORD{ERROR_INVALID_PARAMETER}, refusal(1, 0xB5, 0, 2)) << "replies are 4 bytes";
    EXPECT_EQ(DWORD{0}, refusal(0, 0xB3, 2, 0));

    Handle pipe(KovOpenPipe(dev, 0, 1));
    ASSERT_NE(INVALID_HANDLE_VALUE, pipe.get());
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, KovOpenPipe(dev, 0, 1));
    EXPECT_EQ(DWORD{ERROR_BUSY}, GetLastError()) << "each pipe is handed out once";
    EXPECT_EQ(INVALID_HANDLE_VALUE, KovOpenPipe(dev, 0, 3));
    EXPECT_EQ(DWORD{ERROR_INVALID_PARAMETER}, GetLastError());
    EXPECT_NE(0u, KovAbortPipe(pipe.get()));
    EXPECT_NE(0u, KovResetPipe(pipe.get()));
    EXPECT_EQ(0u, KovResetPipe(dev)) << "a device handle is no pipe";
    EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, GetLastError());
    EXPECT_EQ(0u, KovAbortPipe(nullptr)) << "pipe 0 and 2 are not handed out";
    EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, GetLastError());

    pipe.reset();
    EXPECT_NE(0u, KovCloseDevice(dev));
    EXPECT_EQ(0u, KovCloseDevice(dev));
    EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, GetLastError());
    EXPECT_EQ(DWORD{ERROR_INVALID_HANDLE}, refusal(0, 0xB0, 0, 0)) << "a closed device";
}

// The sizes, padding and contents that arrive are FirmwareTransferSimTest's.
TEST_F(UsbDeviceSim, AfterRequestB3TheDeviceAcceptsTheBlockAndItsData) {
    ASSERT_EQ(0, device.open(selector));
    EXPECT_EQ(100, transfer(firmwareFile(100, 0x123456, {1, 1, 'a', 0}), 100));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0}), followStages(device));
    device.close();

    const Lines lines = trace();
    ASSERT_GT(lines.size(), 11u);
    EXPECT_EQ((Lines{"KovControlRequest(dev, 0, 0, 0xB3, 0, 0, 0, null) = 1 err=0",
                     "KovResetPipe(pipe2) = 1 err=0",
                     "block(dev) fefe000064000000" + std::string(112, '0') + " accepted"}),
              Lines(lines.begin() + 8, lines.begin() + 11));
    EXPECT_EQ("complete", lastDataLine(lines).end);
}

TEST_F(UsbDeviceSim, ABlockWithoutRequestB3IsIgnoredAndItsDataNeverTaken) {
    ASSERT_EQ(0, device.open(selector));
    const Bytes block = commandBlock(512);
    EXPECT_EQ(64, device.writeCommand(block.data(), 64));
    device.setWriteTimeout(100);
    const Bytes data(512, 0x5A);
    EXPECT_EQ(-1, device.writeData(data.data(), 512));
    EXPECT_EQ(ERROR_TIMEOUT, device.lastErrorDetail());
    device.close();
    EXPECT_EQ(1u, traceLines("block(dev) fefe000000020000").size());
    EXPECT_NE(std::string::npos, traceLines("block(dev)")[0].find(" ignored"));
    EXPECT_TRUE(traceLines("data(").empty());
}

TEST_F(UsbDeviceSim, FewerBytesThanAnnouncedEndInTheFailureStatus) {
    scenario("speed = full\ndata_timeout_ms = held\nrelease_file = release\nfail_status = 9\n");
    ASSERT_EQ(0, device.open(selector));
    const Bytes data = firmwareFile(500, 0x123456, {1, 1, 'a', 0});
    EXPECT_EQ(500, transfer(data, 1000));
    Sleep(100); // time for a data phase that ignores the hold to end
    EXPECT_TRUE(traceLines("data(").empty()) << "the data phase ended before the release";
    release();
    EXPECT_EQ((std::vector<int>{1, 2, 9}), followStages(device));
    device.close();

    const DataLine received = lastDataLine(trace());
    EXPECT_EQ(1000u, received.length);
    EXPECT_EQ(512u, received.received) << "500 bytes and the padding of their last packet";
    EXPECT_EQ("timed-out", received.end);
}

TEST_F(UsbDeviceSim, AStalledDataPipeEndsInTheWriteTimeOutAndTheDeviceOpensAgain) {
    scenario("stall_after = 1024\n");
    ASSERT_EQ(0, device.open(selector));
    device.setWriteTimeout(200);
    const Bytes data = firmwareFile(4096, 0x123456, {1, 1, 'a', 0});
    const DWORD start = GetTickCount();
    EXPECT_EQ(-1, transfer(data, 4096));
    EXPECT_GE(GetTickCount() - start, 200u);
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    EXPECT_EQ(ERROR_TIMEOUT, device.lastErrorDetail());
    EXPECT_EQ(writePipeError(1, ERROR_TIMEOUT), device.getLastMessage());
    EXPECT_EQ(1, device.readStatus0()) << "the device still waits for the rest";
    EXPECT_EQ(0, device.close());

    EXPECT_EQ((Lines{"stall(dev) after=1024"}), traceLines("stall("));
    EXPECT_EQ(1024u, lastDataLine(trace()).received);
    EXPECT_EQ("closed", lastDataLine(trace()).end);

    scenario("");
    ASSERT_EQ(0, device.open(selector));
    device.setWriteTimeout(5000);
    EXPECT_EQ(4096, transfer(data, 4096));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 0}), followStages(device));
    EXPECT_EQ("complete", lastDataLine(trace()).end);
}

} // namespace
