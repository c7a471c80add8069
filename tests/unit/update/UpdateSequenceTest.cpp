// The update sequence against the fake driver and the manual clock: the stages and their log
// lines, the final request, the closed device on every path, and the bound on a stage.
#include "update/UpdateSequence.h"

#include "support/TempFile.h"
#include "unit/device/DeviceFixture.h"
#include "update/FirmwareWriter.h"

#include <algorithm>
#include <deque>
#include <string>

namespace {

using namespace sequencelog;

class UpdateSequenceTest : public DeviceTest {
protected:
    UpdateSequenceTest() : file(std::vector<std::uint8_t>(300, 0x5A)) {}

    // Opens the device, runs the sequence with status word 0 answering `statuses` in turn.
    int run(std::deque<DWORD> statuses) {
        EXPECT_EQ(0, device.open(0x201));
        driver().statusReplies = std::move(statuses);
        driver().calls.clear();
        return runUpdateSequence(device, file.path(), [this](const char* line) { logged += line; });
    }

    int finalRequests() { return driver().countCalls("ControlRequest(dev,0,0,0xB0,"); }
    int statusQueries() { return driver().countCalls("ControlRequest(dev,1,0,0xB2,"); }
    const std::string& logText() const { return logged; }

    std::string logged;
    FirmwareWriter device;
    TempFile file;
};

// The stages come in the order 1, 2, 3, 0, each logged once: any may be missing, none may come
// back, and a status outside them fails. The final request goes before the device is closed.
TEST_F(UpdateSequenceTest, StagesInTurnSucceedWithTheFinalRequestAndOthersFail) {
    const struct {
        std::deque<DWORD> statuses;
        std::string log;
    } cases[] = {
        {{1, 1, 2, 2, 2, 3, 3, 0}, std::string(sending) + verifying + updating + succeeded},
        {{1, 0}, std::string(sending) + succeeded},
        {{3, 2}, std::string(sending) + updating + failed},
        {{4}, std::string(sending) + failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        logged.clear();
        clock().now += UsbDevice::statusCacheMilliseconds; // the last case's status is stale
        EXPECT_EQ(0, run(c.statuses));
        EXPECT_EQ(c.log, logText());
        EXPECT_EQ(static_cast<int>(c.statuses.size()), statusQueries());
        EXPECT_FALSE(device.isOpened());
        const auto& calls = driver().calls;
        const auto final = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("ControlRequest(dev,0,0,0xB0,", 0) == 0;
        });
        const bool success = c.statuses.back() == 0;
        EXPECT_EQ(success ? 1 : 0, finalRequests());
        if (success) {
            EXPECT_LT(final - calls.begin(),
                      std::find(calls.begin(), calls.end(), "CloseDevice(dev)") - calls.begin());
        }
    }
}

TEST_F(UpdateSequenceTest, AFailedStatusReadFailsWithoutTheDeviceText) {
    driver().statusErrors = {0, ERROR_GEN_FAILURE};
    EXPECT_EQ(0, run({2}));
    EXPECT_EQ(std::string(sending) + verifying + failed, logText());
    EXPECT_EQ(0, finalRequests());
}

TEST_F(UpdateSequenceTest, ARefusedTransferReturnsItsCodeAndClosesTheDevice) {
    driver().requestError[0xB3] = ERROR_GEN_FAILURE;
    EXPECT_EQ(-65543, run({0}));
    EXPECT_EQ(std::string(sending) + failed, logText());
    EXPECT_EQ(0, statusQueries());
    EXPECT_EQ(0, driver().countCalls("ResetPipe")); // no command block after the refusal
    EXPECT_FALSE(device.isOpened());
}

TEST_F(UpdateSequenceTest, ADeviceStuckInAStageFailsAfterTheBoundAskedEvery10Ms) {
    driver().replies[0xB2] = 2; // after the scripted replies: verifying for ever
    const DWORD start = clock().now;
    EXPECT_EQ(0, run({1}));
    EXPECT_EQ(std::string(sending) + verifying + failed, logText());
    EXPECT_EQ(0, finalRequests());
    EXPECT_FALSE(device.isOpened());

    // Five minutes in one stage, and not a query longer: the 2 ms pause after the command
    // block, 10 ms of the first stage, then 300 s of verifying.
    EXPECT_EQ(2u + 10u + 300000u, clock().now - start);
    // The processor was given back between the queries, and the device asked every 10 ms.
    const auto& sleeps = clock().sleeps;
    EXPECT_EQ(1 + 30000, std::count(sleeps.begin(), sleeps.end(), DWORD{10}));
    EXPECT_EQ(1 + 1 + 30000, statusQueries());
}

TEST_F(UpdateSequenceTest, ASlowDeviceWithinTheBoundStillSucceeds) {
    // Four minutes of verifying, at one query per 10 ms.
    std::deque<DWORD> statuses(4 * 60 * 100, 2);
    statuses.push_front(1);
    statuses.push_back(3);
    statuses.push_back(0);
    EXPECT_EQ(0, run(statuses));
    EXPECT_EQ(std::string(sending) + verifying + updating + succeeded, logText());
    EXPECT_EQ(1, finalRequests());
}

} // namespace
