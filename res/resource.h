// Resource ids of the program: dialogs, icon, string, system-menu command and controls.
// Included by KelvoUpdate.rc and by the C++ sources.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_UPDATE 102
#define IDR_MAINFRAME 128

// The about entry of the main dialog's system menu; its low four bits are zero.
#define IDM_ABOUTBOX 0x0010

// Controls of the main dialog.
#define IDC_CONNECT 1000
#define IDC_STATUS 1001
#define IDC_LOG 1002
#define IDC_OPEN 1003
#define IDC_UPDATE 1004

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
