#include "framework/Dialog.h"

#include "framework/ErrorBox.h"

#include <new>

Dialog::Dialog(UINT templateId, HWND parent) : templateId(templateId), parent(parent) {}

INT_PTR Dialog::doModal() {
    // The templates live in the program's own module.
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                           &Dialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::onInitDialog() {
    doDataExchange();
    return true;
}

bool Dialog::keysGoNowhere() const {
    if (GetActiveWindow() != hwnd)
        return false; // a box of its own is in front, and gets the keys
    // The control that had it was disabled: the focus is nowhere, or on the dialog itself.
    return !IsChild(hwnd, GetFocus());
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the address doModal() passed
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->hwnd = window;
        try {
            return dialog->onInitDialog() ? TRUE : FALSE;
        } catch (const std::bad_alloc&) {
            showOutOfMemory(window);
            return TRUE;
        }
    }
    // Messages that come before WM_INITDIALOG (WM_SETFONT) find no object yet.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the address WM_INITDIALOG stored
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    INT_PTR result = FALSE;
    try {
        result = dialog->dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // The standard report, and the dialog carries on with the next message.
        showOutOfMemory(window);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        dialog->hwnd = nullptr;
    }
    return result;
}

INT_PTR Dialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isClick = message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
    const MessageTable table = messageTable();
    for (std::size_t i = 0; i < table.count; ++i) {
        const MessageEntry& entry = table.entries[i];
        if (entry.message != message)
            continue;
        if (message == WM_COMMAND && (!isClick || entry.commandId != LOWORD(wParam)))
            continue;
        // Handlers may send messages to this dialog, which dispatch again: keep each
        // message's own request for default processing, also when a handler throws.
        struct Restore {
            bool& flag;
            bool outer;
            ~Restore() { flag = outer; }
        } restore{defaultWanted, defaultWanted};
        defaultWanted = false;
        const INT_PTR result = entry.call(*this, wParam, lParam);
        return defaultWanted ? FALSE : result;
    }
    if (isClick && LOWORD(wParam) == IDOK) {
        onOK();
        return TRUE;
    }
    if (isClick && LOWORD(wParam) == IDCANCEL) {
        onCancel();
        return TRUE;
    }
    return FALSE;
}
