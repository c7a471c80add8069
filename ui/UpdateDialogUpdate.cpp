// The Update step of UpdateDialog: the worker thread and the timer that waits for it.
#include "ui/UpdateDialog.h"

#include "platform/Thread.h"
#include "ui/UpdateSequence.h"

void UpdateDialog::onUpdate() {
    // Raised here rather than by the worker, so that a worker that starts late is never
    // taken for one that has finished; lowered again when there is no worker.
    busy.store(1);
    if (!platform::startThread(&UpdateDialog::updateThreadProc, this))
        busy.store(0);
    // The disabled Update button is what keeps a second worker from starting.
    updateButton.enable(false);
    cancelButton.enable(false);
    SetTimer(handle(), updateTimer, updateTimerPeriod, nullptr);
}

DWORD WINAPI UpdateDialog::updateThreadProc(void* argument) {
    auto& dialog = *static_cast<UpdateDialog*>(argument);
    int result = -1;
    try {
        result = dialog.runUpdate();
    } catch (...) {
        // Out of memory while logging: give the device up; the dialog still reaches its
        // Finished state.
        dialog.device.close();
    }
    // The last touch of the dialog: from here on it may end.
    dialog.busy.store(0);
    return static_cast<DWORD>(result);
}

int UpdateDialog::runUpdate() {
    return runUpdateSequence(device, firmwarePath, logWindow);
}

void UpdateDialog::onTimer(UINT_PTR id) {
    if (id != updateTimer) {
        passToDefault();
        return;
    }
    if (busy.load() != 0)
        return; // the next tick looks again
    enableAndShow(updateButton, false);
    enableAndShow(finishButton, true);
    enableAndShow(cancelButton, true);
    KillTimer(handle(), updateTimer);
}
