// The accessibility seam in unit tests: every announcement with the window, the thread that
// raised it and its kind, and every accessible name given; `refuse` answers as a Windows
// without UI Automation's notifications.
#pragma once

#include "platform/Accessibility.h"

#include <windows.h>

#include <string>
#include <vector>

struct Announcement {
    HWND window;
    DWORD thread;
    std::wstring text;
    platform::AnnouncementKind kind;
};

struct FakeAccessibility {
    static FakeAccessibility& get();
    void reset() { *this = FakeAccessibility(); }

    bool refuse = false;
    std::vector<Announcement> announcements;
    std::vector<std::pair<HWND, std::wstring>> names;
};
