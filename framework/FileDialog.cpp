#include "framework/FileDialog.h"

#include <commdlg.h>

bool chooseFileToOpen(HWND owner, const wchar_t* filter, const wchar_t* title, std::wstring& path) {
    wchar_t chosen[MAX_PATH] = {};

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return false;
    path = chosen;
    return true;
}
