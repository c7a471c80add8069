#include "app/UpdaterApp.h"

#include "app/AboutDialog.h"
#include "ui/UpdateDialog.h"

// The one application object; WinMain starts it.
UpdaterApp theApp;

// The program's name captions its message boxes, as it does the main dialog.
UpdaterApp::UpdaterApp() : Application(L"QZハルモカLuneファームウェア更新") {}

bool UpdaterApp::initInstance() {
    // The dialog, and with it the device (closed if still open), ends with this scope.
    UpdateDialog dialog([](HWND owner) {
        AboutDialog about(owner);
        about.doModal();
    });
    dialog.doModal();
    return false;
}
