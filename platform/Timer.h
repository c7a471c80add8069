// The dialog's window timers, reached through this seam so that tests see which timer runs, at
// what period, and can refuse one. The program links Timer.cpp (SetTimer and KillTimer).
#pragma once

#include <windows.h>

namespace platform {

// Starts timer `id` of `window`, posting WM_TIMER every `period` ms; false when Windows has no
// timer to give.
bool startTimer(HWND window, UINT_PTR id, UINT period);

// Stops timer `id` of `window`; a timer that does not run is no error.
void stopTimer(HWND window, UINT_PTR id);

} // namespace platform
