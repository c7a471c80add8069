// A stand-in for the main dialog's log: the tests' edit window with the log's styles, shown and
// in the log's font, bound to a LogEdit. Created and served by the calling thread; needs a
// display (run under Xvfb).
#pragma once

#include "support/EditWindow.h"
#include "framework/Font.h"
#include "ui/LogEdit.h"

namespace bench {

class LogWindow {
public:
    LogWindow() {
        ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
        log.attach(window.handle());
        if (font.createPointFont(105, "ＭＳ ゴシック", log.dotsPerInch()))
            log.setFont(font.handle(), true);
    }

    LogEdit& edit() { return log; }

private:
    Font font; // outlives the window that uses it
    EditWindow window;
    LogEdit log;
};

} // namespace bench
