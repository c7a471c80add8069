// What screen readers hear of a window: its accessible name, and announcements it raises (UI
// Automation notification events), reached through this seam so that tests see what the
// program says. The program links Accessibility.cpp.
//
// Call both on the thread that owns `window`. Where Windows can't (UI Automation's
// notifications came with Windows 10 1709; Wine 8 has none) they return false and nothing else
// happens.
#pragma once

#include <windows.h>

namespace platform {

enum class AnnouncementKind {
    line,     // one more line of a report
    stepDone, // the line that ends a step: its result
};

// Has screen readers speak `text` (no line end) as news of `window`, after any announcement
// still being spoken: none is dropped.
bool announce(HWND window, const wchar_t* text, AnnouncementKind kind);

// Gives `window` the name screen readers say for it, where it has no label of its own.
bool setAccessibleName(HWND window, const wchar_t* name);

} // namespace platform
