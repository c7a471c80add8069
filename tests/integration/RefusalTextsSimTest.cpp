// Every operation the simulated device can refuse (../DeviceFaults.h), through UsbDevice (English
// texts) and through UpdaterDevice (Japanese texts where the user meets them, English otherwise).
#include "../DeviceFaults.h"
#include "SimFixture.h"

#include "update/UpdaterDevice.h"

#include <functional>
#include <utility>

namespace {

constexpr int selector = 513;

// Opens, then runs `then` on the open connection; a failed open is the result.
std::function<int(UsbDevice&)> afterOpen(std::function<int(UsbDevice&)> then) {
    return [then](UsbDevice& device) {
        const int opened = device.open(selector);
        return opened != 0 ? opened : then(device);
    };
}

int openDevice(UsbDevice& device) {
    return device.open(selector);
}

// The call that meets a refusal of `operation`, and the result it gives.
std::pair<std::function<int(UsbDevice&)>, int> callOf(Operation operation) {
    const int vendor = USBERR_VENDOR_REQUEST;
    switch (operation) {
    case Operation::openDevice:
        return {openDevice, USBERR_OPEN_DEVICE};
    case Operation::openPipe:
        return {openDevice, USBERR_OPEN_PIPE};
    case Operation::configuration:
        return {openDevice, vendor};
    case Operation::serial:
        return {afterOpen([](UsbDevice& d) {
                    std::uint8_t reply[4];
                    return d.querySerial(reply);
                }),
                -1};
    case Operation::revision:
        return {afterOpen([](UsbDevice& d) {
                    std::uint8_t reply[4];
                    return d.queryRevision(reply);
                }),
                -1};
    case Operation::status:
        return {afterOpen([](UsbDevice& d) { return d.readStatus0(); }), vendor};
    case Operation::arm:
        return {afterOpen([](UsbDevice& d) { return d.sendControl0(); }), vendor};
    case Operation::final:
        return {afterOpen([](UsbDevice& d) { return d.sendFinal(); }), -1};
    }
    return {openDevice, 0};
}

struct Case {
    std::string name;
    const char* scenario;
    std::function<int(UsbDevice&)> operation;
    int result; // of UsbDevice and of UpdaterDevice, whose open also reads the identity
    DWORD detail;
    std::string english;
    std::string japanese;
};

// The device's refusals, and what a caller gets wrong.
std::vector<Case> cases() {
    std::vector<Case> all = {
        {"AlreadyOpened", "", afterOpen(openDevice), USBERR_ALREADY_OPENED, 0,
         "Device already opened.\r\n", "既にハルモカと接続しています.\r\n"},
        {"NotOpened", "", [](UsbDevice& d) { return d.close(); }, 1, 0, "Device not opened.\r\n",
         "ハルモカと接続していません.\r\n"},
    };
    for (const Refusal& refusal : refusals()) {
        const auto call = callOf(refusal.operation);
        all.push_back({refusal.name, refusal.scenario, call.first, call.second, refusal.code,
                       refusal.english, refusal.japanese});
    }
    return all;
}

class RefusedOperation : public SimTest, public ::testing::WithParamInterface<Case> {};

TEST_P(RefusedOperation, FailsWithTheLibrarysCodeAndItsText) {
    const Case& refusal = GetParam();
    scenario(refusal.scenario);
    {
        UsbDevice device;
        EXPECT_EQ(refusal.result, refusal.operation(device));
        EXPECT_EQ(refusal.english, device.getLastMessage());
        EXPECT_EQ(static_cast<int>(refusal.detail), device.lastErrorDetail());
    }
    {
        UpdaterDevice device;
        EXPECT_EQ(refusal.result, refusal.operation(device));
        EXPECT_EQ(refusal.japanese, device.getLastMessage());
    }
    // Whatever failed, both connections are closed again and the device is free.
    EXPECT_EQ(traceLines("KovOpenDevice(513) = dev").size(),
              traceLines("KovCloseDevice(dev) = 1").size());
}

INSTANTIATE_TEST_SUITE_P(Simulator, RefusedOperation, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return info.param.name;
                         });

using UpdaterDeviceSim = SimTest;

TEST_F(UpdaterDeviceSim, ReadsTheIdentityWhenItOpens) {
    scenario("serial = 0x7F00BEEF\nrevision = 3.14z\n");
    UpdaterDevice device;
    ASSERT_EQ(0, device.open(selector));
    EXPECT_EQ(0x7F00BEEFu, device.getIdentity().serialNumber);
    EXPECT_EQ(0x00BEEFu, device.getIdentity().serial24());
    const FirmwareRevision& revision = device.getIdentity().revision;
    EXPECT_EQ((Bytes{3, 14, 'z', 0}),
              (Bytes{revision.major, revision.minor, revision.suffix, revision.reserved}));
}

} // namespace
