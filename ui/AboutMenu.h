// The about entry of the main dialog's system menu.
//
// 1. appendAboutEntry(dialog) when the dialog initialises: a separator and the entry
//    "Kelvo のﾊﾞｰｼﾞｮﾝ情報(&A)..." (string 101) go to the end of its system menu.
// 2. On WM_SYSCOMMAND, isAboutCommand(id) says whether to show the about box.
#pragma once

#include "res/resource.h"

#include <windows.h>

// Appends the separator and the entry (command IDM_ABOUTBOX). Nothing is appended when the
// window has no system menu or string 101 is missing or empty.
void appendAboutEntry(HWND dialog);

// Windows keeps its own flags in the low four bits of a system command: compare the rest.
inline bool isAboutCommand(UINT command) {
    return (command & 0xFFF0) == IDM_ABOUTBOX;
}
