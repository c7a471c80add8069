// A real multi-line edit control with the log's styles, and the message pump of the ui tests
// and the benchmarks.
#pragma once

#include <windows.h>

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

// Serves every waiting message of this thread, sent ones included.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
