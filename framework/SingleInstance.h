// SingleInstance: one running copy of a program per session.
//
// 1. The program makes one at start-up, before any window, and keeps it until it ends.
// 2. isFirst() is false when another copy of this session already holds the name: this copy
//    then brings that one's dialog to the front (bringDialogToFront) and ends, or starts after
//    all when that copy shows no dialog (it is ending).
// The name is a named mutex in the session's namespace (Local\); Windows lets it go with the
// process that holds it, however that process ends.
#pragma once

#include "base/Handle.h"

#include <windows.h>

#include <string>

class SingleInstance {
public:
    // `name` is the program's own: the same in every copy, unlike any other program's.
    explicit SingleInstance(const std::wstring& name);

    // True also when the mutex can't be made at all: the program runs rather than not at all.
    bool isFirst() const { return first; }

private:
    Handle mutex;
    bool first;
};

// Brings the top-level dialog titled `title` that no window owns (another copy's main dialog)
// to the front, restored if minimised; a window it shows modally (a message box, the file
// dialog) comes before it. Looks for up to `patience` milliseconds; false when no such dialog
// appears.
bool bringDialogToFront(const std::wstring& title, DWORD patience);
