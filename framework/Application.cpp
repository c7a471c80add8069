#include "framework/Application.h"

#include "platform/SystemFunction.h"

namespace {

Application* theApplication = nullptr;

// DLLs loaded at run time, by the system, the file dialog or the driver library, come from the
// program's folder and the system folder, never from the current folder or PATH (a Downloads
// folder may hold a planted one). The program's folder is trusted already: kovusbd.dll is a
// load-time import from it, and a driver library may load companions from its own folder.
void restrictDllSearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    // Windows 7 has the function only with its update KB2533623.
    const auto setDefaultDllDirectories = systemFunction<SetDefaultDllDirectoriesFunction>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr &&
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
        return;
    // Without it, at least take the current folder out of the search.
    SetDllDirectoryW(L"");
}

} // namespace

Application::Application(const wchar_t* name) noexcept : programName(name) {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this)
        theApplication = nullptr;
}

Application* Application::current() {
    return theApplication;
}

int Application::run() {
    restrictDllSearch();
    Application* application = current();
    if (application == nullptr)
        return 1;
    application->initInstance();
    return 0;
}
