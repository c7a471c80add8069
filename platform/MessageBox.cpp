#include "platform/MessageBox.h"

namespace platform {

int messageBox(const std::wstring& text, const std::wstring& caption, UINT type) {
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(), type);
}

} // namespace platform
