// FakeTimer: the window-timer seam in unit tests. It records each start ("start ID PERIOD") and
// stop ("stop ID") and passes them on to Windows, so that the timer ticks for real; or it
// refuses the starts, as a Windows with no timer left.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FakeTimer {
    static FakeTimer& get();
    void reset() { *this = FakeTimer(); }

    bool refuse = false;
    std::vector<std::string> uses;
};
