// AboutDialog: the about box (template 100): icon, name and version, maker, OK. It handles no
// messages of its own; OK, Enter, Escape and the close box end it.
#pragma once

#include "framework/Dialog.h"

class AboutDialog : public Dialog {
public:
    // `owner` is disabled while the box is shown.
    explicit AboutDialog(HWND owner);
};
