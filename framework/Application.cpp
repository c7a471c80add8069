#include "framework/Application.h"

#include "framework/SystemFunction.h"

namespace {

Application* theApplication = nullptr;

// DLLs that the system or the file dialog load while the program runs come from the system
// folder only, never from the folder the program was started from (a Downloads folder may
// hold a planted one). Load-time imports, kovusbd.dll among them, are bound before this.
void restrictDllSearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // Windows 7 has the function only with its update KB2533623.
    const auto setDefaultDllDirectories = systemFunction<SetDefaultDllDirectoriesFunction>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr &&
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least take the current folder out of the search.
    SetDllDirectoryW(L"");
}

} // namespace

Application::Application(const wchar_t* name) : programName(name) {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this)
        theApplication = nullptr;
}

Application* Application::current() {
    return theApplication;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    restrictDllSearch();
    Application* application = Application::current();
    if (application == nullptr)
        return 1;
    application->initInstance();
    return 0;
}
