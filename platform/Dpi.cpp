#include "platform/Dpi.h"

#include "platform/SystemFunction.h"

namespace platform {

UINT windowDotsPerInch(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow =
        systemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    return getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
}

} // namespace platform
