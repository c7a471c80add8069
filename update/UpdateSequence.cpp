#include "update/UpdateSequence.h"

#include "platform/Clock.h"
#include "update/FirmwareWriter.h"

#include <exception>

namespace {

constexpr int stageFirst = 1;
constexpr int stageVerifying = 2;
constexpr int stageUpdating = 3;
constexpr int stageDone = 0;
constexpr int stageStalled = -1; // not a status word: the device stayed too long

// Reads status word 0 until it leaves `stage`, starting from the word `status` just read.
// Between reads the processor is given back until the device's 10 ms status cache has
// expired, so the device is still asked about every 10 ms.
int leaveStage(FirmwareWriter& device, int stage, int status) {
    const DWORD entered = platform::tickCount();
    while (status == stage) {
        if (platform::tickCount() - entered >= stageTimeout)
            return stageStalled;
        platform::sleep(UsbDevice::statusCacheMilliseconds);
        status = device.readStatus0();
    }
    return status;
}

} // namespace

int runUpdateSequence(FirmwareWriter& device, const std::wstring& firmwarePath,
                      const UpdateLog& log, bool* succeeded) {
    if (succeeded != nullptr)
        *succeeded = false;
    log(sequencelog::sending);
    const int sent = device.sendFile(firmwarePath);
    if (sent < 0) {
        log(sequencelog::failed);
        device.close();
        return sent;
    }

    // The stages come in the order 1, 2, 3, 0; any of 1 to 3 may be missing, none may return.
    int status = leaveStage(device, stageFirst, device.readStatus0());
    if (status == stageVerifying) {
        log(sequencelog::verifying);
        status = leaveStage(device, stageVerifying, device.readStatus0());
    }
    if (status == stageUpdating) {
        log(sequencelog::updating);
        status = leaveStage(device, stageUpdating, device.readStatus0());
    }
    if (status == stageDone) {
        // The outcome first: it stands even if the line can't be logged. The device is told
        // to run its new firmware (nothing to do if it refuses) and let go whatever the log does.
        if (succeeded != nullptr)
            *succeeded = true;
        std::exception_ptr logFailure;
        try {
            log(sequencelog::succeeded);
        } catch (...) {
            logFailure = std::current_exception();
        }
        device.sendFinal();
        device.close();
        if (logFailure)
            std::rethrow_exception(logFailure);
        return 0;
    }
    log(sequencelog::failed);
    device.close();
    return 0;
}
