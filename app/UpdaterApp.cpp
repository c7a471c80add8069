#include "app/UpdaterApp.h"

#include "ui/UpdateDialog.h"

// The one application object; WinMain starts it.
UpdaterApp theApp;

bool UpdaterApp::initInstance() {
    // The dialog, and with it the device (closed if still open), ends with this scope.
    UpdateDialog dialog;
    setMainWindow(&dialog);
    dialog.doModal();
    setMainWindow(nullptr);
    return false;
}
