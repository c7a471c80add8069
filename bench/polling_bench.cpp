// Polling cost: the real update sequence (runUpdateSequence, as the dialog's worker runs it)
// against a simulated device that stays 5 s in stage 2 (verifying). While it does: the
// worker's processor time over the wall time, and the status requests (0xB2) per second that
// reached the device. The stage is taken from the log: it begins when the verifying line
// appears and ends when the next line does.
//
// The requests are counted on the host side: a status read that went to the device refreshes
// the cache's time stamp, one that the cache served does not. The simulator's trace stays off:
// it would slow the very loop being measured.
//
//     wine-run bench/polling_bench.exe      (needs a display: run under Xvfb)
#include "Bench.h"
#include "LogWindow.h"
#include "base/Handle.h"
#include "base/TextConversion.h"
#include "support/Polling.h"
#include "support/ProcessCounters.h"
#include "update/FirmwareWriter.h"
#include "update/UpdateSequence.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace bench;

constexpr DWORD verifyMilliseconds = 5000;
// The whole update, generously for a slow machine under load; only a hung one reaches it.
constexpr DWORD updateBound = verifyMilliseconds + support::patience;
constexpr int verifying = 2;

// The device object of the update, counting the status reads that reached the device and
// were answered with "verifying".
class CountingWriter : public FirmwareWriter {
public:
    int readStatus0() override {
        const DWORD before = statusTime[0];
        const int status = FirmwareWriter::readStatus0();
        if (statusTime[0] != before && status == verifying)
            ++verifyingRequests;
        return status;
    }
    std::atomic<int> verifyingRequests{0};
};

struct Worker {
    CountingWriter device;
    std::wstring path;
    LogEdit* log = nullptr;

    static DWORD WINAPI run(void* argument) {
        auto& worker = *static_cast<Worker*>(argument);
        return static_cast<DWORD>(
            runUpdateSequence(worker.device, worker.path, [&worker](const char* line) {
                worker.log->appendFormat("%s", line);
            }));
    }
};

} // namespace

int main() {
    defaultDevice();
    const std::string stages =
        "stage1_ms = 0\nverify_ms = " + std::to_string(verifyMilliseconds) + "\nupdate_ms = 0\n";
    const TempFile scenario(Bytes(stages.begin(), stages.end()), L"-scenario.txt");
    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", scenario.path().c_str());
    const TempFile firmwareFile(firmware(4096));

    LogWindow window;
    Worker worker;
    worker.path = firmwareFile.path();
    worker.log = &window.edit();
    if (worker.device.open(selector) != 0) {
        std::fprintf(stderr, "polling_bench: open failed: %s\n",
                     worker.device.getLastMessage().c_str());
        return 1;
    }
    const Handle workerThread(CreateThread(nullptr, 0, &Worker::run, &worker, 0, nullptr));
    HANDLE thread = workerThread.get();
    if (!workerThread) {
        std::fprintf(stderr, "polling_bench: no worker thread (error %lu)\n", GetLastError());
        return 1;
    }
    const std::wstring verifyingLine = toWide(sequencelog::verifying);
    LONGLONG stageStart = 0;
    double processorAtStart = 0, wall = 0, processor = 0;
    const DWORD begun = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - begun;
        if (waited >= updateBound) {
            // The worker still uses this frame: end here, loudly.
            std::fprintf(stderr, "polling_bench: the update did not end within %lu s\n",
                         updateBound / 1000);
            std::_Exit(1);
        }
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &thread, FALSE, updateBound - waited, QS_ALLINPUT);
        pumpMessages();
        const std::wstring text = window.edit().wideText();
        const size_t at = text.find(verifyingLine);
        if (stageStart == 0 && at != std::wstring::npos) {
            stageStart = startWatch();
            processorAtStart = processorSeconds(thread);
        }
        if (stageStart != 0 && wall == 0 && text.size() > at + verifyingLine.size()) {
            wall = secondsSince(stageStart);
            processor = processorSeconds(thread) - processorAtStart;
        }
        if (woke == WAIT_OBJECT_0)
            break;
    }
    if (wall == 0) {
        std::fprintf(stderr,
                     "polling_bench: the update did not pass through stage 2 (%zu bytes "
                     "of log)\n",
                     toCodePage932BestFit(window.edit().wideText()).size());
        return 1;
    }
    const int requests = worker.device.verifyingRequests.load();
    std::printf("polling, %.2f s in stage 2: worker %.0f ms of processor time, %d status "
                "requests answered 2\n",
                wall, processor * 1e3, requests);
    std::printf("  ratio polling worker-cpu/wall %.4f (%.2f %% of one core)\n", processor / wall,
                100 * processor / wall);
    std::printf("  polling status requests per second %.1f\n",
                requests / (verifyMilliseconds / 1000.0));
    return 0;
}
