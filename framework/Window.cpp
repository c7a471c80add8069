#include "framework/Window.h"

#include "base/TextConversion.h"
#include "platform/Dpi.h"
#include "platform/SystemFunction.h"

namespace {

// A function of newer Windows versions, looked up in user32.dll (loaded with the program).
// Its two DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS arguments are int-sized enumerations.
using SetDialogControlDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
constexpr int dcdcDisableFontUpdate = 0x0001; // DCDC_DISABLE_FONT_UPDATE

int screenDotsPerInchY() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return USER_DEFAULT_SCREEN_DPI;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

std::wstring Window::wideText() const {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string Window::text() const {
    return toCodePage932BestFit(wideText());
}

void Window::setText(const std::string& text) const {
    SetWindowTextW(hwnd, toWide(text).c_str());
}

int Window::dotsPerInch() const {
    const UINT dpi = platform::windowDotsPerInch(hwnd);
    return dpi != 0 ? static_cast<int>(dpi) : screenDotsPerInchY();
}

void Window::keepFontOnDpiChange() const {
    const auto setBehavior = systemFunction<SetDialogControlDpiChangeBehaviorFunction>(
        L"user32.dll", "SetDialogControlDpiChangeBehavior");
    if (setBehavior != nullptr)
        setBehavior(hwnd, dcdcDisableFontUpdate, dcdcDisableFontUpdate);
}
