// The message box seam in unit tests: every box is recorded and answered with IDOK at once.
#pragma once

#include <string>
#include <vector>

struct RecordedMessageBox {
    std::wstring text;
    std::wstring caption;
    unsigned type;
};

std::vector<RecordedMessageBox>& recordedMessageBoxes();
