// The message box seam in unit tests: every box is recorded and answered with IDOK at once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RecordedMessageBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    unsigned type;
};

std::vector<RecordedMessageBox>& recordedMessageBoxes();
