// The message box of the program's error reports, reached through this seam so that tests
// record it instead of blocking on a modal window. The program links MessageBox.cpp.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Shows a modal message box owned by `owner` (null: none), so that it stays in front of that
// window until it is answered; returns the button chosen.
int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

} // namespace platform
