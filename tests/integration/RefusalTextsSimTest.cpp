// Every operation the simulated device can refuse, through UsbDevice (English texts) and
// through UpdaterDevice (Japanese texts where the user meets them, English otherwise).
#include "SimFixture.h"

#include "update/UpdaterDevice.h"

#include <functional>

namespace {

constexpr int selector = 513;

struct Refusal {
    const char* name;
    const char* scenario;
    std::function<int(UsbDevice&)> operation;
    int result;        // of the UsbDevice
    int updaterResult; // of the UpdaterDevice, whose open also reads the identity
    DWORD detail;
    std::string english;
    std::string japanese;
};

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

int querySerial(UsbDevice& device) {
    std::uint8_t reply[4];
    return device.querySerial(reply);
}

int queryRevision(UsbDevice& device) {
    std::uint8_t reply[4];
    return device.queryRevision(reply);
}

std::vector<Refusal> refusals() {
    const int vendor = USBERR_VENDOR_REQUEST;
    return {
        {"OpenDevice", "refuse_open = 55", openDevice, USBERR_OPEN_DEVICE, USBERR_OPEN_DEVICE, 55,
         "Fail to open device.", "ハルモカとの接続に失敗しました.\r\n"},
        {"Pipe0", "refuse_pipe = 0:5", openDevice, USBERR_OPEN_PIPE, USBERR_OPEN_PIPE, 5,
         openPipeError(0, 5), openPipeError(0, 5)},
        {"Pipe1", "refuse_pipe = 1:31", openDevice, USBERR_OPEN_PIPE, USBERR_OPEN_PIPE, 31,
         openPipeError(1, 31), openPipeError(1, 31)},
        {"Pipe2", "refuse_pipe = 2:1167", openDevice, USBERR_OPEN_PIPE, USBERR_OPEN_PIPE, 1167,
         openPipeError(2, 1167), openPipeError(2, 1167)},
        {"Configuration", "refuse_request = 0xB1:31", openDevice, vendor, vendor, 31,
         vendorRequestError(31), vendorRequestError(31)},
        {"Serial", "refuse_request = 0xB5:31", afterOpen(querySerial), -1, -1, 31,
         vendorRequestError(31), vendorRequestError(31)},
        {"Revision", "refuse_request = 0xB6:1167", afterOpen(queryRevision), -1, -1, 1167,
         vendorRequestError(1167), vendorRequestError(1167)},
        {"Status", "refuse_request = 0xB2:31",
         afterOpen([](UsbDevice& d) { return d.readStatus0(); }), vendor, vendor, 31,
         vendorRequestError(31), vendorRequestError(31)},
        {"ArmTransfer", "refuse_request = 0xB3:5",
         afterOpen([](UsbDevice& d) { return d.sendControl0(); }), vendor, vendor, 5,
         vendorRequestError(5), vendorRequestError(5)},
        {"Final", "refuse_request = 0xB0:31", afterOpen([](UsbDevice& d) { return d.sendFinal(); }),
         -1, -1, 31, vendorRequestError(31), vendorRequestError(31)},
        {"AlreadyOpened", "", afterOpen(openDevice), USBERR_ALREADY_OPENED, USBERR_ALREADY_OPENED,
         0, "Device already opened.\r\n", "既にハルモカと接続しています.\r\n"},
        {"NotOpened", "", [](UsbDevice& d) { return d.close(); }, 1, 1, 0, "Device not opened.\r\n",
         "ハルモカと接続していません.\r\n"},
    };
}

class RefusedOperation : public SimTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedOperation, FailsWithTheLibrarysCodeAndItsText) {
    const Refusal& refusal = GetParam();
    scenario(refusal.scenario);
    {
        UsbDevice device;
        EXPECT_EQ(refusal.result, refusal.operation(device));
        EXPECT_EQ(refusal.english, device.getLastMessage());
        EXPECT_EQ(static_cast<int>(refusal.detail), device.lastErrorDetail());
    }
    {
        UpdaterDevice device;
        EXPECT_EQ(refusal.updaterResult, refusal.operation(device));
        EXPECT_EQ(refusal.japanese, device.getLastMessage());
    }
    // Whatever failed, both connections are closed again and the device is free.
    EXPECT_EQ(traceLines("KovOpenDevice(513) = dev").size(),
              traceLines("KovCloseDevice(dev) = 1").size());
}

INSTANTIATE_TEST_SUITE_P(Simulator, RefusedOperation, ::testing::ValuesIn(refusals()),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.name);
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
