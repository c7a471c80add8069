#include "platform/Dpi.h"

namespace platform {

UINT windowDotsPerInch(HWND window) {
    // Looked up at run time, so that the program still starts on a Windows without it.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto getDpiForWindow =
        user32 != nullptr ? reinterpret_cast<GetDpiForWindowFunction>(
                                reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                          : nullptr;
    return getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
}

} // namespace platform
