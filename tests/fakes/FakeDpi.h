// FakeDpi: the monitor-resolution seam in unit tests. It answers `answer` (0: as a Windows
// without GetDpiForWindow) and records the windows asked about.
#pragma once

#include <windows.h>

#include <vector>

struct FakeDpi {
    static FakeDpi& get();
    void reset() { *this = FakeDpi(); }

    UINT answer = 0;
    std::vector<HWND> asked;
};
