// The dots per inch of a window's monitor, reached through this seam so that tests can make it
// differ from the screen's. The program links Dpi.cpp.
#pragma once

#include <windows.h>

namespace platform {

// GetDpiForWindow(window) where this Windows has it, else 0. Never blocks.
UINT windowDotsPerInch(HWND window);

} // namespace platform
