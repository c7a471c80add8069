#include "app/AboutDialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog(HWND owner) : Dialog(IDD_ABOUTBOX, owner) {}
