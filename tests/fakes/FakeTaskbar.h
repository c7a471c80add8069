// The taskbar seam in unit tests: the progress states asked for, in order, and the windows whose
// button was to flash (UI thread only).
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <vector>

std::vector<TBPFLAG>& taskbarStates();
std::vector<HWND>& flashedWindows();
