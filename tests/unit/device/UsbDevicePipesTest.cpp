// Padded pipe writes over real overlapped pipes, waiting and the time-out path.
#include "DeviceFixture.h"
#include "device/UsbDevice.h"

#include <algorithm>

namespace {

// Reaches the pipes' OVERLAPPED records to prove nothing is left in flight.
class DeviceProbe : public UsbDevice {
public:
    bool anyWritePending() const {
        for (const OVERLAPPED& o : pipeOverlapped)
            if (o.Internal == 259)
                return true;
        return false;
    }
};

class UsbDevicePipes : public DeviceTest {
protected:
    void open(DWORD configuration) {
        driver().replies[0xB1] = configuration;
        ASSERT_EQ(0, device.open(513));
        calls().clear();
    }
    static Bytes padded(const Bytes& data, size_t from, size_t packet) {
        Bytes out(data.begin() + static_cast<long>(from), data.end());
        out.resize(packet, 0);
        return out;
    }
    // After a failed write the data pipe still takes writes: of all that arrived, the one padded
    // packet (512 bytes) is that of a short write made now.
    void expectOnlyTheNextWritePadded() {
        std::vector<Bytes> writes = pipe(1).readAvailable();
        const Bytes next(5, 0xAB);
        EXPECT_EQ(5, device.writeData(next.data(), 5));
        for (Bytes& write : pipe(1).readAvailable())
            writes.push_back(std::move(write));
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(padded(next, 0, 512), writes.back());
        EXPECT_EQ(1, std::count_if(writes.begin(), writes.end(),
                                   [](const Bytes& write) { return write.size() == 512; }));
    }
    DeviceProbe device;
};

// The sizes of the writes on the data pipe; together they carry the data, then zeros.
TEST_F(UsbDevicePipes, DataIsWholePacketsInOneWriteThenOnePaddedPacket) {
    const struct {
        DWORD configuration, length;
        std::vector<size_t> writes;
    } cases[] = {
        {0, 100, {64, 64}}, {0, 1000, {960, 64}}, {1, 1000, {512, 512}},
        {0, 30, {64}},      {1, 1024, {1024}},    {1, 0, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.configuration) + ": " + std::to_string(c.length));
        open(c.configuration);
        const Bytes data = sequence(c.length);
        EXPECT_EQ(static_cast<int>(c.length), device.writeData(data.data(), c.length));
        std::vector<size_t> sizes;
        Bytes sent;
        for (const Bytes& write : pipe(1).readAvailable()) {
            sizes.push_back(write.size());
            sent.insert(sent.end(), write.begin(), write.end());
        }
        EXPECT_EQ(c.writes, sizes);
        EXPECT_EQ(padded(data, 0, sent.size()), sent);
        EXPECT_TRUE(pipe(2).readAvailable().empty());
        device.close();
    }
}

TEST_F(UsbDevicePipes, PaddingNeverShowsAnEarlierLongerTail) {
    open(0);
    const Bytes first(60, 0xEE);
    const Bytes second(3, 0x11);
    ASSERT_EQ(60, device.writeData(first.data(), 60));
    ASSERT_EQ(3, device.writeData(second.data(), 3));
    const std::vector<Bytes> writes = pipe(1).readAvailable();
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(padded(second, 0, 64), writes[1]);
}

TEST_F(UsbDevicePipes, PendingWriteIsWaitedForUntilTheDeviceReadsIt) {
    driver().pipeBufferSize = 4096;
    open(1);
    const Bytes data = sequence(256 * 1024);
    pipe(1).startDrain();
    EXPECT_EQ(static_cast<int>(data.size()),
              device.writeData(data.data(), static_cast<DWORD>(data.size())));
    const std::vector<Bytes> writes = pipe(1).stopDrain();
    ASSERT_EQ(1u, writes.size());
    ASSERT_EQ(data.size(), writes[0].size());
    EXPECT_TRUE(data == writes[0]);
    EXPECT_TRUE(calls().empty()); // no abort: the write completed
    EXPECT_FALSE(device.anyWritePending());
    EXPECT_FALSE(clock().sleeps.empty()); // the record was polled with sleeps
}

TEST_F(UsbDevicePipes, PendingWriteTimesOutAbortsCancelsAndCollectsTheWrite) {
    driver().pipeBufferSize = 4096;
    open(1);
    device.setWriteTimeout(50);
    const Bytes data = sequence(64 * 1024);
    const DWORD start = clock().now;
    EXPECT_EQ(-1, device.writeData(data.data(), static_cast<DWORD>(data.size())));
    // Given up at the first check at which more than 50 ms had passed.
    EXPECT_EQ(start + 51, clock().now.load());
    EXPECT_EQ(Calls{"AbortPipe(pipe1)"}, calls());
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    EXPECT_EQ(1460, device.lastErrorDetail());
    EXPECT_EQ(writePipeError(1, 1460), device.getLastMessage());
    EXPECT_FALSE(device.anyWritePending());
    EXPECT_TRUE(device.isOpened());
}

TEST_F(UsbDevicePipes, TimeOutOfTheWholePartSendsNoPaddedPacket) {
    driver().pipeBufferSize = 4096;
    open(1);
    device.setWriteTimeout(20);
    const Bytes data = sequence(64 * 1024 + 5);
    EXPECT_EQ(-1, device.writeData(data.data(), static_cast<DWORD>(data.size())));
    expectOnlyTheNextWritePadded();
}

TEST_F(UsbDevicePipes, WriteRefusedOutrightFailsAtOnceWithItsError) {
    open(1);
    pipe(2).closeFarEnd();
    const Bytes block = sequence(64);
    EXPECT_EQ(-1, device.writeCommand(block.data(), 64));
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(clock().sleeps.empty());
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    const int detail = device.lastErrorDetail();
    EXPECT_NE(0, detail);
    EXPECT_NE(ERROR_IO_PENDING, detail);
    EXPECT_EQ(writePipeError(2, detail), device.getLastMessage());
}

// A write that completes with fewer bytes than asked lost data on the way: it fails, and no
// packet follows from the wrong offset. On a pipe that takes 4096 bytes, the whole packets of
// 8192 + 100 and of 8192 go out short; those of 4096 + 100 go out whole, the padded packet short.
TEST_F(UsbDevicePipes, AWriteThatCompletesShortFailsAndNothingFollowsIt) {
    driver().pipeBufferSize = 4096;
    driver().nonBlockingPipes = true;
    for (const DWORD length : {8192u + 100u, 8192u, 4096u + 100u}) {
        open(1);
        const Bytes data = sequence(length);
        EXPECT_EQ(-1, device.writeData(data.data(), length)) << length;
        EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
        EXPECT_EQ(ERROR_WRITE_FAULT, device.lastErrorDetail());
        EXPECT_EQ(writePipeError(1, ERROR_WRITE_FAULT), device.getLastMessage());
        expectOnlyTheNextWritePadded();
        device.close();
    }
}

} // namespace
