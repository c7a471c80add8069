// Dialog: a modal dialog run from a resource template of the program.
//
// 1. Derive, pass the template id to the constructor, list handlers in messageTable() and
//    bind the control members in doDataExchange() with bindControl().
// 2. doModal() runs the dialog until endDialog(); it returns the end result, or -1 when the
//    dialog can't be created.
// 3. IDOK and IDCANCEL end the dialog through onOK() and onCancel(), which a dialog may
//    override (Escape and the window's close command arrive as IDCANCEL).
// The dialog procedure finds its object through DWLP_USER, stored at WM_INITDIALOG. Out of
// memory in a handler is reported with the standard message box, and the dialog goes on.
#pragma once

#include "framework/MessageTable.h"
#include "framework/Window.h"

#include <windows.h>

class Dialog {
public:
    Dialog(UINT templateId, HWND parent);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    INT_PTR doModal();
    HWND handle() const { return hwnd; }

protected:
    virtual MessageTable messageTable() const { return MessageTable{nullptr, 0}; }
    // Binds the control members to the template's controls.
    virtual void doDataExchange() {}
    // Binds the controls; true gives the focus to the first tab stop.
    virtual bool onInitDialog();
    virtual void onOK() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }

    void endDialog(INT_PTR result) { EndDialog(hwnd, result); }
    void bindControl(int id, Window& control) { control.attach(GetDlgItem(hwnd, id)); }
    // Moves the focus to `control` the way the dialog manager does (default button included).
    void gotoControl(const Window& control) {
        SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control.handle()), TRUE);
    }
    // Enter presses `control` wherever the focus is not on another push button.
    void setDefaultButton(const Window& control) {
        SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID(control.handle())), 0);
    }
    // The dialog is its thread's active window, and none of its controls has the keyboard focus
    // (the one that had it was disabled): keys would go nowhere.
    bool keysGoNowhere() const;
    // From inside a handler: the message goes on to the dialog's default processing.
    void passToDefault() { defaultWanted = true; }

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId;
    HWND parent;
    HWND hwnd = nullptr;
    bool defaultWanted = false;
};
