#include "framework/FileDialog.h"

#include <commdlg.h>

bool chooseFirmwareFile(HWND owner, std::wstring& path) {
    // Pairs of name and pattern; the list ends with an empty name.
    static const wchar_t filter[] = L"Firmware Files (*.dat)\0*.dat\0"
                                    L"All Files (*.*)\0*.*\0";
    wchar_t chosen[MAX_PATH] = {};

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return false;
    path = chosen;
    return true;
}
