#include "VirtualDesktop.h"

#include "Polling.h"

namespace support {

VirtualDesktop::VirtualDesktop(std::wstring name, int width, int height)
    : desktopName(std::move(name)),
      explorer(L"explorer.exe", {}, L"",
               L"/desktop=" + desktopName + L"," + std::to_wstring(width) + L"x" +
                   std::to_wstring(height)) {
    if (!explorer.started())
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
    explorer.waitForExit(10000);
}

} // namespace support
