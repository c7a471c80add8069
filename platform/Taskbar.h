// The taskbar button of a window: its progress state and its flashing, reached through this
// seam so that tests see what the program shows there. The program links Taskbar.cpp.
//
// Call setTaskbarProgress only once the window has received the "TaskbarButtonCreated"
// message: before it the shell has no button to show the state on.
#pragma once

#include <windows.h>

#include <shobjidl.h>

namespace platform {

// TBPF_NOPROGRESS, TBPF_INDETERMINATE, TBPF_ERROR, ... on the button of `window`. False when
// the shell offers no taskbar list (the state is then simply not shown).
bool setTaskbarProgress(HWND window, TBPFLAG state);

// Flashes the button of `window` until the window comes to the foreground.
void flashUntilForeground(HWND window);

} // namespace platform
