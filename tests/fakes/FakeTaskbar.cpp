#include "FakeTaskbar.h"

#include "platform/Taskbar.h"

std::vector<TaskbarProgress>& taskbarStates() {
    static std::vector<TaskbarProgress> states;
    return states;
}

bool platform::setTaskbarProgress(HWND window, TBPFLAG state) {
    taskbarStates().emplace_back(window, state);
    return true;
}

std::vector<HWND>& flashedWindows() {
    static std::vector<HWND> windows;
    return windows;
}

void platform::flashUntilForeground(HWND window) {
    flashedWindows().push_back(window);
}
