// The system's file-open dialog.
#pragma once

#include <windows.h>

#include <string>

// Shows the modal file-open dialog owned by `owner`, for one existing file. `filter` is the
// list of OPENFILENAME's lpstrFilter: pairs of a name and a pattern, each ending in NUL, the
// list ending with an empty name; the first pair is preselected. `title` null leaves the
// system's default title. True with the chosen full path in `path` when the user confirms;
// false when the dialog is cancelled or fails.
bool chooseFileToOpen(HWND owner, const wchar_t* filter, const wchar_t* title, std::wstring& path);
