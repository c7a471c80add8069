// The Update step of UpdateDialog: the worker thread and the timer that waits for it, and what
// the dialog asks of Windows meanwhile (no sleep, no session end, the taskbar's progress).
#include "platform/ExecutionState.h"
#include "platform/Thread.h"
#include "platform/Timer.h"
#include "ui/StayAwake.h"
#include "ui/UpdateDialog.h"
#include "update/UpdateSequence.h"

#include <cstring>

namespace {

// Shown by Windows beside the program when shutdown or log-off waits for the update.
constexpr wchar_t shutdownBlockReason[] =
    L"ファームウェアを更新しています。終わるまでPCの電源を切らないでください。";

} // namespace

void UpdateDialog::onUpdate() {
    if (sessionEnding) {
        // Windows may end the program at any moment now: the update would be cut off.
        MessageBeep(MB_OK);
        return;
    }
    // Raised here rather than by the worker, so that a worker that starts late is never
    // taken for one that has finished; lowered again when there is no worker.
    busy.store(1);
    updating = true;
    platform::setShutdownBlockReason(handle(), shutdownBlockReason);
    showTaskbarState(TBPF_INDETERMINATE);
    const bool started = platform::startThread(&UpdateDialog::updateThreadProc, this);
    if (!started)
        busy.store(0);
    // The disabled Update button is what keeps a second worker from starting.
    updateButton.enable(false);
    cancelButton.enable(false);
    timerRunning = platform::startTimer(handle(), updateTimer, updateTimerPeriod);
    // Without the timer the worker's message leads to Finished; without a worker, this one.
    if (!timerRunning && !started)
        PostMessageW(handle(), workerEndedMessage, 0, 0);
}

DWORD WINAPI UpdateDialog::updateThreadProc(void* argument) {
    auto& dialog = *static_cast<UpdateDialog*>(argument);
    int result = -1;
    {
        // The PC stays awake for exactly the update, whichever way it ends.
        const StayAwake awake;
        try {
            result = dialog.runUpdate();
        } catch (...) {
            // Out of memory while logging: give the device up, unless the sequence already did;
            // the dialog still reaches its Finished state.
            if (dialog.device.isOpened())
                dialog.device.close();
        }
    }
    const HWND window = dialog.handle();
    // The last touch of the dialog: from here on it may end.
    dialog.busy.store(0);
    PostMessageW(window, workerEndedMessage, 0, 0);
    return static_cast<DWORD>(result);
}

int UpdateDialog::runUpdate() {
    const UpdateLog log = [this](const char* line) {
        // Success or failure ends the update; the lines before it report its stages.
        if (std::strcmp(line, sequencelog::succeeded) == 0 ||
            std::strcmp(line, sequencelog::failed) == 0)
            logResult("%s", line);
        else
            logMessage("%s", line);
    };
    // The sequence sets `updated` before it logs the success, so a log line that can't be
    // written leaves it all the same.
    return runUpdateSequence(device, firmwarePath, log, &updated);
}

void UpdateDialog::onTimer(UINT_PTR id) {
    if (id != updateTimer) {
        passToDefault();
        return;
    }
    if (busy.load() != 0)
        return; // the next tick looks again
    finishUpdate();
}

void UpdateDialog::onWorkerEnded() {
    // With the timer running, its tick moves on as always.
    if (!timerRunning && busy.load() == 0)
        finishUpdate();
}

void UpdateDialog::finishUpdate() {
    if (!updating)
        return;
    updating = false;
    enableAndShow(updateButton, false);
    enableAndShow(finishButton, true);
    enableAndShow(cancelButton, true);
    platform::stopTimer(handle(), updateTimer);
    timerRunning = false;
    // Update had the focus and was disabled: a keyboard user's keys would go nowhere. A control
    // the user has chosen meanwhile keeps it. (A dialog left meanwhile gets its focus back from
    // the dialog manager when it is active again: the first tab stop, Finish.)
    if (keysGoNowhere())
        gotoControl(finishButton);

    platform::setShutdownBlockReason(handle(), nullptr);
    showTaskbarState(updated ? TBPF_NOPROGRESS : TBPF_ERROR);
    if (GetForegroundWindow() != handle())
        platform::flashUntilForeground(handle());
}

bool UpdateDialog::onQueryEndSession() {
    // Cut off half-way, the device may be left without working firmware.
    if (busy.load() != 0)
        return false;
    // Agreed: from now on Windows may end the program at any moment, until WM_ENDSESSION says
    // the session goes on.
    sessionEnding = true;
    return true;
}

void UpdateDialog::onEndSession(bool ending) {
    if (!ending) {
        sessionEnding = false;
        return;
    }
    if (busy.load() != 0)
        return;
    // Windows may end the process as soon as this returns: let the device go now.
    if (device.isOpened())
        device.close();
    endDialog(IDCANCEL);
}

void UpdateDialog::onTaskbarButtonCreated() {
    // Also after the shell restarts: the new button gets the state again.
    taskbarButton = true;
    if (taskbarState != TBPF_NOPROGRESS)
        platform::setTaskbarProgress(handle(), taskbarState);
}

void UpdateDialog::showTaskbarState(TBPFLAG state) {
    taskbarState = state;
    if (taskbarButton)
        platform::setTaskbarProgress(handle(), state);
}
