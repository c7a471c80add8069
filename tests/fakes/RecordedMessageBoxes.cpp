#include "RecordedMessageBoxes.h"

#include "platform/MessageBox.h"

#include <mutex>

namespace {
std::mutex boxesLock;
}

std::vector<RecordedMessageBox>& recordedMessageBoxes() {
    static std::vector<RecordedMessageBox> boxes;
    return boxes;
}

namespace platform {

int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    std::lock_guard<std::mutex> guard(boxesLock);
    recordedMessageBoxes().push_back({owner, text, caption, type});
    return IDOK;
}

} // namespace platform
