// A real multi-line edit control with the log's styles, and the helpers the ui tests share.
#pragma once

#include "framework/Cp932.h"

#include <windows.h>

#include <string>

class EditWindow {
public:
    EditWindow() {
        hwnd = CreateWindowExW(
            0, L"EDIT", L"",
            WS_POPUP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_WANTRETURN, 0, 0,
            400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;
    ~EditWindow() { DestroyWindow(hwnd); }

    HWND handle() const { return hwnd; }

private:
    HWND hwnd;
};

// The window's text as code page 932 bytes.
inline std::string windowBytes(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return toNarrow(text);
}

inline void setWindowBytes(HWND window, const std::string& bytes) {
    SetWindowTextW(window, toWide(bytes).c_str());
}

// Serves every waiting message of this thread, sent ones included.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
