// A stand-in for the main dialog's log: the tests' edit window with the log's styles, shown and
// given the log's font as the dialog gives it (ui/LogFont.h), bound to a LogEdit. Created and
// served by the calling thread; needs a display (run under Xvfb).
#pragma once

#include "framework/Font.h"
#include "support/EditWindow.h"
#include "ui/LogEdit.h"
#include "ui/LogFont.h"

namespace bench {

class LogWindow {
public:
    LogWindow() {
        ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
        log.attach(window.handle());
        applyLogFont(log, font, log.dotsPerInch());
    }

    LogEdit& edit() { return log; }

private:
    Font font; // outlives the window that uses it
    EditWindow window;
    LogEdit log;
};

} // namespace bench
