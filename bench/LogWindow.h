// A stand-in for the main dialog's log: a top-level window holding a read-only multi-line
// edit control with the styles, size and font of the dialog's log, bound to a LogEdit.
// Created and served by the calling thread; needs a display (run under Xvfb).
#pragma once

#include "../tests/unit/ui/EditWindow.h"
#include "framework/Font.h"
#include "ui/LogEdit.h"

#include <windows.h>

namespace bench {

class LogWindow {
public:
    LogWindow() {
        frame = CreateWindowExW(0, L"STATIC", L"log", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 460,
                                260, nullptr, nullptr, nullptr, nullptr);
        const HWND edit = CreateWindowExW(0, L"EDIT", L"",
                                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL |
                                              ES_MULTILINE | ES_READONLY | ES_WANTRETURN,
                                          10, 10, 420, 200, frame, nullptr, nullptr, nullptr);
        log.attach(edit);
        if (font.createPointFont(105, "ＭＳ ゴシック", log.dotsPerInch()))
            log.setFont(font.handle(), true);
    }
    LogWindow(const LogWindow&) = delete;
    LogWindow& operator=(const LogWindow&) = delete;
    ~LogWindow() { DestroyWindow(frame); }

    LogEdit& edit() { return log; }

private:
    HWND frame = nullptr;
    Font font;
    LogEdit log;
};

} // namespace bench
