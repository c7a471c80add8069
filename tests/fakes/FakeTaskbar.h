// The taskbar seam in unit tests: the progress states asked for, in order, each with the window
// whose button was to show it, and the windows whose button was to flash (UI thread only).
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <utility>
#include <vector>

using TaskbarProgress = std::pair<HWND, TBPFLAG>; // window, state

std::vector<TaskbarProgress>& taskbarStates();
std::vector<HWND>& flashedWindows();
