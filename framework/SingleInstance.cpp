#include "framework/SingleInstance.h"

#include "platform/Clock.h"

namespace {

constexpr wchar_t dialogClass[] = L"#32770";

struct DialogSearch {
    const std::wstring& title;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM data) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the address bringDialogToFront() passed
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    // The dialog's own message boxes share its title, but it owns them.
    if (std::wstring(name) != dialogClass || GetWindow(window, GW_OWNER) != nullptr)
        return TRUE;
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    if (text != search.title)
        return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

SingleInstance::SingleInstance(const std::wstring& name)
    : mutex(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str())),
      first(!mutex || GetLastError() != ERROR_ALREADY_EXISTS) {}

bool bringDialogToFront(const std::wstring& title, DWORD patience) {
    DialogSearch search{title, nullptr};
    const DWORD start = platform::tickCount();
    for (;;) {
        EnumWindows(&findDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            break;
        if (platform::tickCount() - start >= patience)
            return false;
        platform::sleep(50);
    }
    // Another process's window: asked without waiting for that process to answer.
    if (IsIconic(search.found))
        ShowWindowAsync(search.found, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(search.found));
    return true;
}
