#include "app/UpdaterApp.h"

#include "app/AboutDialog.h"
#include "framework/SingleInstance.h"
#include "ui/UpdateDialog.h"

// The one application object; WinMain starts it.
UpdaterApp theApp;

bool UpdaterApp::initInstance() {
    // One device per PC, so one copy per session: a second start shows the first copy and ends
    // without touching the device.
    const SingleInstance instance(L"KelvoUpdate.QZHarmokaLune");
    if (!instance.isFirst()) {
        bringDialogToFront(messageBoxCaption);
        return false;
    }
    // The dialog, and with it the device (closed if still open), ends with this scope.
    UpdateDialog dialog([](HWND owner) {
        AboutDialog about(owner);
        about.doModal();
    });
    dialog.doModal();
    return false;
}
