#include "platform/Taskbar.h"

#include "platform/ComApartment.h"

#include <memory>

namespace platform {

bool setTaskbarProgress(HWND window, TBPFLAG state) {
    ComApartment apartment;
    ITaskbarList3* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&created))))
        return false;
    const std::unique_ptr<ITaskbarList3, ComRelease> list(created);
    if (FAILED(list->HrInit()))
        return false;
    return SUCCEEDED(list->SetProgressState(window, state));
}

void flashUntilForeground(HWND window) {
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    flash.uCount = 0;
    flash.dwTimeout = 0;
    FlashWindowEx(&flash);
}

} // namespace platform
