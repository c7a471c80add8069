#include "app/UpdaterApp.h"

#include "app/AboutDialog.h"
#include "framework/SingleInstance.h"
#include "ui/UpdateDialog.h"

// The one application object; WinMain starts it.
UpdaterApp theApp;

// The program starts here, once theApp is constructed: the framework restricts the DLL search
// and runs theApp.initInstance().
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return Application::run();
}

namespace {
// The program's title: the caption of its main dialog, by which a second copy finds it, and of
// its message boxes.
constexpr wchar_t programTitle[] = L"QZハルモカLuneファームウェア更新";
// How long a second start looks for the first copy's dialog. A copy that shows none by then is
// ending, or hangs letting its device go: this one starts after all, and Connect reports the
// device's refusal should the other still hold it. A start is never lost silently.
constexpr DWORD firstCopyPatience = 2000;
} // namespace

UpdaterApp::UpdaterApp() noexcept : Application(programTitle) {}

bool UpdaterApp::initInstance() {
    // One device per PC, so one copy per session: a second start shows the first copy and ends
    // without touching the device.
    const SingleInstance instance(L"KelvoUpdate.QZHarmokaLune");
    if (!instance.isFirst() && bringDialogToFront(programTitle, firstCopyPatience))
        return false;
    // The dialog, and with it the device (closed if still open), ends with this scope.
    UpdateDialog dialog([](HWND owner) {
        AboutDialog about(owner);
        about.doModal();
    });
    dialog.doModal();
    return false;
}
