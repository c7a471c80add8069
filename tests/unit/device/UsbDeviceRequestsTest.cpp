// Control requests and the 10 ms status cache.
#include "DeviceFixture.h"
#include "device/UsbDevice.h"

namespace {

const std::string status0 = "ControlRequest(dev,1,0,0xB2,0,0,4,buf)";

class UsbDeviceRequests : public DeviceTest {
protected:
    void SetUp() override {
        ASSERT_EQ(0, device.open(513));
        calls().clear();
    }
    UsbDevice device;
};

TEST_F(UsbDeviceRequests, EachRequestSendsItsRowOfArguments) {
    DWORD word = 0;
    EXPECT_EQ(0, device.sendFinal());
    EXPECT_EQ(0, device.sendControl0());
    EXPECT_EQ(0, device.sendControl2());
    EXPECT_EQ(0, device.querySerial(&word));
    EXPECT_EQ(0, device.queryRevision(&word));
    device.readStatus0();
    device.readStatus1();
    device.readStatus2();
    EXPECT_EQ(
        (Calls{"ControlRequest(dev,0,0,0xB0,0,0,0,null)", "ControlRequest(dev,0,0,0xB3,0,0,0,null)",
               "ControlRequest(dev,0,0,0xB3,0,2,0,null)", "ControlRequest(dev,1,0,0xB5,0,0,4,buf)",
               "ControlRequest(dev,1,0,0xB6,0,0,4,buf)", status0,
               "ControlRequest(dev,1,0,0xB2,0,1,4,buf)", "ControlRequest(dev,1,0,0xB2,0,2,4,buf)"}),
        calls());
}

// Also across the wrap of the tick counter: the age is unsigned.
TEST_F(UsbDeviceRequests, StatusIsServedFromTheCacheForNineMillisecondsThenAskedAgain) {
    for (const DWORD start : {DWORD{100000}, DWORD{0xFFFFFFFA}}) {
        SCOPED_TRACE(start);
        calls().clear();
        clock().now = start;
        driver().statusReplies = {1, 2};
        EXPECT_EQ(1, device.readStatus0());
        clock().now += 5;
        EXPECT_EQ(1, device.readStatus0());
        clock().now += 4; // 9 ms after the reply
        EXPECT_EQ(1, device.readStatus0());
        EXPECT_EQ(1, driver().countCalls(status0));
        clock().now += 1; // 10 ms
        EXPECT_EQ(2, device.readStatus0());
        EXPECT_EQ(2, driver().countCalls(status0));
    }
}

TEST_F(UsbDeviceRequests, ReplyTimeIsTakenAfterTheRequestReturns) {
    // A request that takes 4 ms: the cache counts from its end.
    driver().statusReplies = {1, 2};
    int ticks = 0;
    clock().onTick = [&] {
        if (++ticks == 2)
            clock().now += 4;
    };
    EXPECT_EQ(1, device.readStatus0());
    clock().onTick = nullptr;
    clock().now += 9;
    EXPECT_EQ(1, device.readStatus0());
    EXPECT_EQ(1, driver().countCalls(status0));
}

TEST_F(UsbDeviceRequests, FailedRefreshAsksAgainAtOnce) {
    driver().statusErrors = {121, 0};
    driver().statusReplies = {3};
    EXPECT_EQ(USBERR_VENDOR_REQUEST, device.readStatus0());
    EXPECT_EQ(vendorRequestError(121), device.getLastMessage());
    EXPECT_EQ(3, device.readStatus0()); // same tick: not served from the cache
    EXPECT_EQ(2, driver().countCalls(status0));
}

TEST_F(UsbDeviceRequests, CachedReadKeepsTheErrorAndDeviceReadClearsIt) {
    driver().replies[0xB2] = 1;
    EXPECT_EQ(1, device.readStatus0());
    device.reportError(USBERR_WRITE_PIPE, 5, 1);
    clock().now += 5;
    EXPECT_EQ(1, device.readStatus0());
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    EXPECT_NE("", device.getLastMessage());
    clock().now += 5;
    EXPECT_EQ(1, device.readStatus0());
    EXPECT_EQ(0, device.lastErrorCode());
    EXPECT_EQ(0, device.lastErrorDetail());
    EXPECT_EQ("", device.getLastMessage());
}

TEST_F(UsbDeviceRequests, TheThreeStatusWordsAgeIndependently) {
    driver().statusReplies = {10, 20, 30};
    EXPECT_EQ(10, device.readStatus0());
    clock().now += 6;
    EXPECT_EQ(20, device.readStatus1());
    clock().now += 4;
    EXPECT_EQ(30, device.readStatus0()); // word 0 is 10 ms old
    EXPECT_EQ(20, device.readStatus1()); // word 1 only 4 ms
    EXPECT_EQ(2, driver().countCalls(status0));
}

TEST_F(UsbDeviceRequests, RequestsOnAClosedConnectionGoToTheLibraryWithNoHandle) {
    device.close();
    calls().clear();
    driver().requestError[0xB3] = 6;
    EXPECT_EQ(USBERR_VENDOR_REQUEST, device.sendControl0());
    EXPECT_EQ(Calls{"ControlRequest(-1,0,0,0xB3,0,0,0,null)"}, calls());
}

} // namespace
