#include "ui/AboutMenu.h"

#include "res/resource.h"

#include <iterator>

void appendAboutEntry(HWND dialog) {
    HMENU systemMenu = GetSystemMenu(dialog, FALSE);
    if (systemMenu == nullptr)
        return;
    wchar_t entry[256] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, entry,
                    static_cast<int>(std::size(entry))) <= 0)
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, entry);
}
