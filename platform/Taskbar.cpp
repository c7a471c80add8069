#include "platform/Taskbar.h"

#include <objbase.h>

#include <memory>

namespace platform {
namespace {

struct Release {
    void operator()(IUnknown* object) const { object->Release(); }
};

// COM on the calling thread for the life of the object; a thread that already has its
// apartment keeps it.
class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result))
            CoUninitialize();
    }

private:
    HRESULT result;
};

} // namespace

bool setTaskbarProgress(HWND window, TBPFLAG state) {
    ComApartment apartment;
    ITaskbarList3* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&created))))
        return false;
    const std::unique_ptr<ITaskbarList3, Release> list(created);
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
