// FirmwareWriter against the simulator: files of every awkward size at both packet sizes
// arrive byte for byte, the device's stages follow, images not for this device end in the
// failure status, the update waits them out without keeping a processor busy, request 0xB0
// installs the new revision, and a device unplugged mid-transfer ends the transfer.
#include "SimFixture.h"
#include "sim/Crc32.h"
#include "support/ProcessCounters.h"
#include "update/FirmwareWriter.h"
#include "update/UpdateSequence.h"

namespace {

constexpr int selector = 0x201;
constexpr std::uint32_t deviceSerial = 0x123456; // of the default scenario
const std::uint8_t newRevision[4] = {1, 2, 'a', 0};
const std::vector<int> succeeded = {1, 2, 3, 0};
const std::vector<int> refused = {1, 2, 4};

const Bytes oldRevisionBytes = {1, 0, 'a', 0}; // of the default scenario
const Bytes newRevisionBytes(newRevision, newRevision + 4);

class FirmwareTransferSim : public SimTest {
protected:
    // Connects, sends the file and follows the stages; the connection is closed again.
    std::vector<int> update(const Bytes& image, int expectedResult) {
        const std::wstring path = writeFile(L"firmware.dat", image);
        FirmwareWriter device;
        EXPECT_EQ(0, device.open(selector));
        EXPECT_EQ(expectedResult, device.sendFile(path));
        const std::vector<int> stages = followStages(device);
        if (stages.back() == 0) {
            EXPECT_EQ(0, device.sendFinal());
        }
        device.close();
        return stages;
    }

    Bytes connectedRevision() {
        FirmwareWriter device;
        EXPECT_EQ(0, device.open(selector));
        const FirmwareRevision& revision = device.getIdentity().revision;
        return {revision.major, revision.minor, revision.suffix, revision.reserved};
    }
};

class TransferAtSpeed : public FirmwareTransferSim,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(TransferAtSpeed, TheDeviceReceivesExactlyTheFileAtEverySize) {
    scenario(std::string("speed = ") + GetParam() + "\nstage1_ms = 60\nverify_ms = 60\n" +
             "update_ms = 60\n");
    const size_t packet = std::string(GetParam()) == "high" ? 512 : 64;
    for (size_t size : {0, 1, 63, 64, 65, 511, 512, 513, 1000, (1 << 20) + 7, 32 << 20}) {
        SCOPED_TRACE("file of " + std::to_string(size) + " bytes");
        const Bytes image = firmwareFile(size, deviceSerial, newRevision);
        // An image too short to hold a header is taken, checked and refused.
        EXPECT_EQ(size >= 8 ? succeeded : refused, update(image, static_cast<int>(size)));

        const DataLine data = lastDataLine(trace());
        EXPECT_EQ(size, data.length);
        EXPECT_EQ(size, data.received);
        EXPECT_EQ((packet - size % packet) % packet, data.padding);
        EXPECT_EQ(Crc32::of(image.data(), image.size()), data.crc);
        EXPECT_EQ("complete", data.end);
    }
    EXPECT_EQ(11u, traceLines("data(").size());
}

INSTANTIATE_TEST_SUITE_P(Simulator, TransferAtSpeed, ::testing::Values("high", "full"));

TEST_F(FirmwareTransferSim, TheDeviceRefusesImagesThatAreNotForIt) {
    const std::uint8_t otherVariant[4] = {1, 2, 'b', 0};
    EXPECT_EQ(refused, update(firmwareFile(1000, 0x654321, newRevision), 1000))
        << "another device's serial number";
    EXPECT_EQ(refused, update(firmwareFile(1000, 0, otherVariant), 1000))
        << "any device, but of another variant";
    EXPECT_EQ(refused, update(firmwareFile(1000, deviceSerial, newRevision, "", 7), 1000))
        << "a header size below 8";
    EXPECT_EQ(succeeded, update(firmwareFile(1000, 0, newRevision), 1000))
        << "any device of this variant";
}

TEST_F(FirmwareTransferSim, AScriptedStatusReplacesTheStagesAndAHeldStepWaitsForItsRelease) {
    const Bytes image = firmwareFile(1000, deviceSerial, newRevision);
    scenario("status = 1:60, 2:60, 3:60, 2:60, 0\n");
    EXPECT_EQ((std::vector<int>{1, 2, 3, 2}), update(image, 1000));
    scenario("status = 1:60, 0\n");
    EXPECT_EQ((std::vector<int>{1, 0}), update(image, 1000));

    scenario("status = 1:60, 2:held, 0\nrelease_file = release\n");
    FirmwareWriter device;
    ASSERT_EQ(0, device.open(selector));
    EXPECT_EQ(1000, device.sendFile(writeFile(L"firmware.dat", image)));
    EXPECT_EQ((std::vector<int>{1, 2}), followStages(device, 1));
    // Read on, long after a timed step would have ended.
    for (int read = 0; read < 5; ++read, Sleep(50))
        ASSERT_EQ(2, device.readStatus0()) << "the held step ended before the release";
    release();
    EXPECT_EQ(0, device.readStatus0());
}

// While the device verifies and writes, the update gives the processor back between its reads:
// of the stages' 1.2 s, the waiting thread runs a small part.
TEST_F(FirmwareTransferSim, TheUpdateWaitsOutTheStagesWithoutKeepingAProcessorBusy) {
    scenario("stage1_ms = 400\nverify_ms = 400\nupdate_ms = 400\n");
    const std::wstring path =
        writeFile(L"firmware.dat", firmwareFile(1000, deviceSerial, newRevision));
    FirmwareWriter device;
    ASSERT_EQ(0, device.open(selector));
    const DWORD started = GetTickCount();
    const double processorBefore = processorSeconds(GetCurrentThread());
    bool updated = false;
    const UpdateLog noLog = [](const char*) {};
    EXPECT_EQ(0, runUpdateSequence(device, path, noLog, &updated));
    const double processor = (processorSeconds(GetCurrentThread()) - processorBefore) * 1000;
    const DWORD elapsed = GetTickCount() - started;
    EXPECT_TRUE(updated);
    EXPECT_GE(elapsed, 1200u);
    EXPECT_LT(processor * 4, elapsed)
        << processor << " ms of processor time in " << elapsed << " ms";
}

TEST_F(FirmwareTransferSim, RequestB0InstallsTheNewRevisionOnlyAfterASuccessfulUpdate) {
    useStateFile();
    const std::uint8_t otherVariant[4] = {9, 9, 'b', 0};
    {
        FirmwareWriter device;
        ASSERT_EQ(0, device.open(selector));
        EXPECT_EQ(1000,
                  device.sendFile(writeFile(L"firmware.dat", firmwareFile(1000, 0, otherVariant))));
        EXPECT_EQ(refused, followStages(device));
        EXPECT_EQ(0, device.sendFinal()) << "the device takes the request and does nothing";
    }
    EXPECT_TRUE(traceLines("install(").empty());
    EXPECT_EQ(oldRevisionBytes, connectedRevision());

    EXPECT_EQ(succeeded, update(firmwareFile(4000, deviceSerial, newRevision), 4000));
    EXPECT_EQ((Lines{"install(dev) revision=1, 2, 0x61, 0"}), traceLines("install("));
    EXPECT_NE(std::string::npos, readFile(L"state.txt").find("\nrevision = 1, 2, 0x61, 0\n"));
    EXPECT_EQ(newRevisionBytes, connectedRevision()) << "a later connection";

    SetEnvironmentVariableW(L"KOVSIM_STATE", nullptr);
    EXPECT_EQ(oldRevisionBytes, connectedRevision()) << "without the state file";
}

TEST_F(FirmwareTransferSim, ADeviceUnpluggedMidTransferFailsTheWriteAndEveryLaterRequest) {
    scenario("unplug_after = 65536\n");
    const std::wstring path =
        writeFile(L"firmware.dat", firmwareFile(1 << 20, deviceSerial, newRevision));
    FirmwareWriter device;
    ASSERT_EQ(0, device.open(selector));
    EXPECT_EQ(-1, device.sendFile(path));
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    const DWORD broken = static_cast<DWORD>(device.lastErrorDetail());
    EXPECT_EQ(writePipeError(1, broken), device.getLastMessage());
    EXPECT_EQ(DWORD{ERROR_BROKEN_PIPE}, broken);

    EXPECT_EQ(USBERR_VENDOR_REQUEST, device.readStatus0());
    EXPECT_EQ(ERROR_DEVICE_NOT_CONNECTED, device.lastErrorDetail());
    EXPECT_EQ(0, device.close());
    EXPECT_EQ((Lines{"unplug(dev)"}), traceLines("unplug("));
    EXPECT_EQ(65536u, lastDataLine(trace()).received);
    EXPECT_EQ("unplugged", lastDataLine(trace()).end);

    scenario("");
    EXPECT_EQ(succeeded, update(firmwareFile(1000, deviceSerial, newRevision), 1000))
        << "plugged in again";
}

} // namespace
