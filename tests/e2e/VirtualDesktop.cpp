#include "VirtualDesktop.h"

#include "Polling.h"
#include "ProgramProcess.h"

#include <vector>

namespace e2e {

VirtualDesktop::VirtualDesktop(std::wstring name, int width, int height)
    : desktopName(std::move(name)) {
    std::wstring command = L"explorer.exe /desktop=" + desktopName + L"," + std::to_wstring(width) +
                           L"x" + std::to_wstring(height);
    explorer = startCommand(command);
    if (!explorer)
        return;

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
