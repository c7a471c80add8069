// UpdaterDevice: identity on open, the Japanese reporter, status code, waitForIdle.
#include "update/UpdaterDevice.h"

#include "fakes/FailingAllocation.h"
#include "unit/device/DeviceFixture.h"

#include <functional>
#include <new>

namespace {

const std::string status0 = "ControlRequest(dev,1,0,0xB2,0,0,4,buf)";

Bytes bytesOf(const FirmwareRevision& r) {
    return {r.major, r.minor, r.suffix, r.reserved};
}

using UpdaterDeviceTest = DeviceTest;

TEST_F(UpdaterDeviceTest, NewDeviceHasAnIdentityOfAllOnes) {
    UpdaterDevice device;
    EXPECT_EQ(0xFFFFFFFFu, device.getIdentity().serialNumber);
    EXPECT_EQ(Bytes(4, 0xFF), bytesOf(device.getIdentity().revision));
    EXPECT_EQ(0, device.getStatusCode());
}

TEST_F(UpdaterDeviceTest, OpenReadsSerialThenRevision) {
    driver().replies[0xB5] = 0xAB123456; // the top byte is not part of the serial number
    driver().replies[0xB6] = 0x00620201; // 1, 2, 'b', 0
    UpdaterDevice device;
    EXPECT_EQ(0, device.open(0x201));
    ASSERT_GE(calls().size(), 2u);
    EXPECT_EQ("ControlRequest(dev,1,0,0xB5,0,0,4,buf)", calls()[calls().size() - 2]);
    EXPECT_EQ("ControlRequest(dev,1,0,0xB6,0,0,4,buf)", calls().back());
    EXPECT_EQ(0xAB123456u, device.getIdentity().serialNumber);
    EXPECT_EQ(0x123456u, device.getIdentity().serial24());
    EXPECT_EQ((Bytes{1, 2, 'b', 0}), bytesOf(device.getIdentity().revision));
    EXPECT_TRUE(device.isOpened());
}

// A refused identity read closes the connection; the identity keeps what was read before it.
TEST_F(UpdaterDeviceTest, IdentityReadRefusedClosesAndKeepsTheEnglishText) {
    for (const DWORD refused : {0xB5u, 0xB6u}) {
        SCOPED_TRACE(refused);
        driver().reset();
        driver().replies[0xB5] = 0x00654321;
        driver().requestError[refused] = 31;
        UpdaterDevice device;
        EXPECT_EQ(-1, device.open(0x201));
        EXPECT_FALSE(device.isOpened());
        EXPECT_EQ("CloseDevice(dev)", calls().back());
        EXPECT_EQ(USBERR_VENDOR_REQUEST, device.lastErrorCode());
        EXPECT_EQ(vendorRequestError(31), device.getLastMessage());
        EXPECT_EQ(refused == 0xB5u ? 0xFFFFFFFFu : 0x00654321u, device.getIdentity().serialNumber);
        EXPECT_EQ(Bytes(4, 0xFF), bytesOf(device.getIdentity().revision));
    }
}

TEST_F(UpdaterDeviceTest, ConnectionFailuresShowJapaneseTextsAndKeepTheOldCode) {
    UpdaterDevice device;
    driver().openDeviceError = 2;
    EXPECT_EQ(USBERR_OPEN_DEVICE, device.open(0x201));
    EXPECT_EQ("ハルモカとの接続に失敗しました.\r\n", device.getLastMessage());
    EXPECT_EQ(0, device.lastErrorCode()); // the Japanese reporter only sets the text
    EXPECT_EQ(0, device.lastErrorDetail());

    driver().openDeviceError = 0;
    ASSERT_EQ(0, device.open(0x201));
    EXPECT_EQ(USBERR_ALREADY_OPENED, device.open(0x201));
    EXPECT_EQ("既にハルモカと接続しています.\r\n", device.getLastMessage());
    EXPECT_TRUE(device.isOpened());

    device.close();
    EXPECT_EQ(1, device.close());
    EXPECT_EQ("ハルモカと接続していません.\r\n", device.getLastMessage());
}

// A reporter without the memory for its text leaves a fixed one and throws nothing, so a
// failed open still closes what it opened, and the next open works.
TEST_F(UpdaterDeviceTest, AReporterOutOfMemoryLeavesAFixedTextAndTheConnectionClosed) {
    const struct {
        const char* starveAfter;
        std::function<void(FakeDriver&)> refuse;
        int result;
        const char* lastCall;
    } refusals[] = {
        {"OpenDevice", [](FakeDriver& d) { d.openDeviceError = 2; }, USBERR_OPEN_DEVICE,
         "OpenDevice(513)"},
        {"ControlRequest(dev,1,0,0xB1", [](FakeDriver& d) { d.requestError[0xB1] = 31; },
         USBERR_VENDOR_REQUEST, "CloseDevice(dev)"},
        {"OpenPipe(dev,0,2)", [](FakeDriver& d) { d.pipeOpenError[2] = 31; }, USBERR_OPEN_PIPE,
         "CloseDevice(dev)"},
        {"ControlRequest(dev,1,0,0xB5", [](FakeDriver& d) { d.requestError[0xB5] = 31; }, -1,
         "CloseDevice(dev)"},
        {"ControlRequest(dev,1,0,0xB6", [](FakeDriver& d) { d.requestError[0xB6] = 31; }, -1,
         "CloseDevice(dev)"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.starveAfter);
        driver().reset();
        refusal.refuse(driver());
        driver().starveAfter = refusal.starveAfter;
        UpdaterDevice device; // its text has no room yet: even a Japanese one needs memory
        int result = 0;
        bool threw = false;
        try {
            result = device.open(0x201);
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        starveThread(0); // a refused open device calls nothing after it
        ASSERT_FALSE(threw);
        EXPECT_EQ(refusal.result, result);
        EXPECT_EQ(UsbDevice::outOfMemoryMessage, device.getLastMessage());
        EXPECT_FALSE(device.isOpened());
        EXPECT_EQ(refusal.lastCall, calls().back());
        for (const auto& pipe : driver().pipes)
            EXPECT_TRUE(!pipe || pipe->nearEndClosed());

        driver().reset();
        EXPECT_EQ(0, device.open(0x201));
        EXPECT_TRUE(device.isOpened());
    }
}

TEST_F(UpdaterDeviceTest, ReporterTable) {
    UpdaterDevice device;
    device.reportError(-65542, 5, 2);
    EXPECT_EQ(writePipeError(2, 5), device.getLastMessage());
    EXPECT_EQ(-65542, device.lastErrorCode());

    // The device's own codes, as numbers: a wrong code in the program must not hide here.
    const struct {
        int code;
        std::string text;
    } texts[] = {
        {-65545, "タイムアウトが発生しました.\r\n"},
        {-100, "ファイルが壊れています.\r\n"},
        {-102, "中断しました.\r\n"},
    };
    for (const auto& t : texts) {
        device.reportError(t.code, 9, 1);
        EXPECT_EQ(t.text, device.getLastMessage());
        EXPECT_EQ(-65542, device.lastErrorCode()); // untouched
        EXPECT_EQ(5, device.lastErrorDetail());
    }
}

TEST_F(UpdaterDeviceTest, StatusCodeOfTheReporter) {
    UpdaterDevice device;
    device.reportError(-101, 7, 0);
    EXPECT_EQ(7, device.getStatusCode());
    EXPECT_EQ("Status error. Code == 7\r\n", device.getLastMessage());
    device.reportError(-101, -3, 0);
    EXPECT_EQ("Status error. Code == -3\r\n", device.getLastMessage());
    device.reportError(-101, 0, 0);
    EXPECT_EQ(0, device.getStatusCode());
    EXPECT_EQ("", device.getLastMessage());
    EXPECT_EQ(0, device.lastErrorCode());
}

class WaitForIdle : public DeviceTest {
protected:
    void SetUp() override {
        ASSERT_EQ(0, device.open(0x201));
        calls().clear();
    }
    UpdaterDevice device;
};

TEST_F(WaitForIdle, IdleDeviceAnswersAfterTheFirstPauseWithOneRead) {
    driver().replies[0xB2] = 0;
    const DWORD start = clock().now;
    EXPECT_EQ(0, device.waitForIdle(500));
    EXPECT_EQ(start + 100, clock().now.load());
    EXPECT_EQ(Calls{status0}, calls());
}

TEST_F(WaitForIdle, StuckDeviceTimesOutAfterTheFirstSleepPastTheLimit) {
    driver().replies[0xB2] = 1;
    const DWORD start = clock().now;
    EXPECT_EQ(-65545, device.waitForIdle(500));
    // 100 ms pause, then 10 ms sleeps; the limit counts from the first read (at 100).
    EXPECT_EQ(start + 100 + 510, clock().now.load());
    EXPECT_EQ(51, driver().countCalls(status0));
    EXPECT_EQ("", device.getLastMessage()); // the time-out is not reported
}

TEST_F(WaitForIdle, BusyThenIdle) {
    driver().statusReplies = {1, 1, 2, 0};
    EXPECT_EQ(0, device.waitForIdle(0xFFFFFFFF));
    EXPECT_EQ(4, driver().countCalls(status0));
}

TEST_F(WaitForIdle, FailedReadEndsTheWaitWithItsCode) {
    driver().statusReplies = {1};
    driver().statusErrors = {0, 121};
    EXPECT_EQ(USBERR_VENDOR_REQUEST, device.waitForIdle(500));
    EXPECT_EQ(vendorRequestError(121), device.getLastMessage());
}

TEST_F(WaitForIdle, NegativeStatusWordIsReturned) {
    driver().replies[0xB2] = 0xFFFFFFF0;
    EXPECT_EQ(-16, device.waitForIdle(500));
}

} // namespace
