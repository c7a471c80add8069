#include "framework/Window.h"

#include "framework/Cp932.h"

std::wstring Window::wideText() const {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string Window::text() const {
    return toNarrow(wideText());
}

void Window::setText(const std::string& text) const {
    SetWindowTextW(hwnd, toWide(text).c_str());
}
