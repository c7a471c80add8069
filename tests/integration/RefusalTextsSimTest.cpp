// Every operation the simulated device can refuse (support/DeviceFaults.h), through UsbDevice
// (English texts) and through UpdaterDevice (Japanese texts where the user meets them, English
// otherwise).
#include "SimFixture.h"
#include "support/DeviceFaults.h"
#include "update/UpdaterDevice.h"

namespace {

constexpr int selector = 513;

// Opens the device and makes the call that meets a refusal of `operation`; a failed open is the
// result.
int meet(UsbDevice& device, Operation operation) {
    const int opened = device.open(selector);
    std::uint8_t reply[4];
    switch (opened != 0 ? Operation::openDevice : operation) {
    case Operation::serial:
        return device.querySerial(reply);
    case Operation::revision:
        return device.queryRevision(reply);
    case Operation::status:
        return device.readStatus0();
    case Operation::arm:
        return device.sendControl0();
    case Operation::final:
        return device.sendFinal();
    default:
        return opened;
    }
}

// What both device classes return when `operation` is refused.
int resultOf(Operation operation) {
    switch (operation) {
    case Operation::openDevice:
        return USBERR_OPEN_DEVICE;
    case Operation::openPipe:
        return USBERR_OPEN_PIPE;
    case Operation::serial:
    case Operation::revision:
    case Operation::final:
        return -1;
    default:
        return USBERR_VENDOR_REQUEST;
    }
}

class RefusedOperation : public SimTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedOperation, FailsWithTheLibrarysCodeAndItsText) {
    const Refusal& refusal = GetParam();
    scenario(refusal.scenario);
    {
        UsbDevice device;
        EXPECT_EQ(resultOf(refusal.operation), meet(device, refusal.operation));
        EXPECT_EQ(refusal.english, device.getLastMessage());
        EXPECT_EQ(static_cast<int>(refusal.code), device.lastErrorDetail());
    }
    {
        UpdaterDevice device;
        EXPECT_EQ(resultOf(refusal.operation), meet(device, refusal.operation));
        EXPECT_EQ(refusal.logged(), device.getLastMessage());
    }
    // Whatever failed, both connections are closed again and the device is free.
    EXPECT_EQ(traceLines("KovOpenDevice(513) = dev").size(),
              traceLines("KovCloseDevice(dev) = 1").size());
}

INSTANTIATE_TEST_SUITE_P(Simulator, RefusedOperation, ::testing::ValuesIn(refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
