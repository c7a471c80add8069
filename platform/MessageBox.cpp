#include "platform/MessageBox.h"

namespace platform {

int messageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

} // namespace platform
