#include "FakeTaskbar.h"

#include "platform/Taskbar.h"

std::vector<TBPFLAG>& taskbarStates() {
    static std::vector<TBPFLAG> states;
    return states;
}

bool platform::setTaskbarProgress(HWND, TBPFLAG state) {
    taskbarStates().push_back(state);
    return true;
}

std::vector<HWND>& flashedWindows() {
    static std::vector<HWND> windows;
    return windows;
}

void platform::flashUntilForeground(HWND window) {
    flashedWindows().push_back(window);
}
