#include "FakeTaskbar.h"

#include "platform/Taskbar.h"

FakeTaskbar& FakeTaskbar::get() {
    static FakeTaskbar fake;
    return fake;
}

namespace platform {

// Both are called on the UI thread only.
bool setTaskbarProgress(HWND, TBPFLAG state) {
    FakeTaskbar::get().states.push_back(state);
    return true;
}

void flashUntilForeground(HWND) {
    ++FakeTaskbar::get().flashes;
}

} // namespace platform
