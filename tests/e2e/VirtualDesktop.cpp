#include "VirtualDesktop.h"

#include "Polling.h"

#include <vector>

namespace e2e {

VirtualDesktop::VirtualDesktop(std::wstring name, int width, int height)
    : desktopName(std::move(name)) {
    std::wstring command = L"explorer.exe /desktop=" + desktopName + L"," + std::to_wstring(width) +
                           L"x" + std::to_wstring(height);
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    explorer = Handle(info.hProcess);

    // explorer creates the desktop a moment after it starts.
    waitUntil([&] {
        desktop = OpenDesktopW(desktopName.c_str(), 0, FALSE, GENERIC_ALL);
        return desktop != nullptr;
    });
    if (!desktop)
        return;
    previous = GetThreadDesktop(GetCurrentThreadId());
    if (!SetThreadDesktop(desktop)) {
        CloseDesktop(desktop);
        desktop = nullptr;
    }
}

VirtualDesktop::~VirtualDesktop() {
    if (desktop) {
        SetThreadDesktop(previous);
        CloseDesktop(desktop);
    }
    // Once nothing uses the desktop, explorer closes it and ends; waiting for that keeps it
    // from outliving the X display it draws on.
    if (explorer)
        WaitForSingleObject(explorer.get(), 10000);
}

} // namespace e2e
