// Window and the control wrappers: non-owning holders of a window handle.
//
// 1. A dialog binds each wrapper to a control of its template (Dialog::bindControl); the
//    dialog's window owns the control windows, a wrapper never creates or destroys one.
// 2. Texts go in and come out as code page 932 bytes; the window itself is spoken to with the
//    wide functions.
// 3. Under per-monitor DPI awareness a window's DPI is that of the monitor it is on, and may
//    change while it runs (WM_DPICHANGED).
#pragma once

#include <windows.h>

#include <string>

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    // Attributes
    void attach(HWND window) { hwnd = window; }
    HWND handle() const { return hwnd; }
    std::string text() const;
    std::wstring wideText() const;
    // The dots per inch the window is shown at: its monitor's (GetDpiForWindow), or the
    // screen's where Windows lacks that function (before Windows 10 1607).
    int dotsPerInch() const;

    // Operations
    void setText(const std::string& text) const;
    void enable(bool on) const { EnableWindow(hwnd, on ? TRUE : FALSE); }
    void show(int command) const { ShowWindow(hwnd, command); }
    void setFont(HFONT font, bool redraw) const {
        send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    // A control of a dialog keeps the font it was given when the DPI changes: the dialog
    // manager of Windows 10 and later would otherwise give it the dialog's rescaled font. No
    // effect where Windows lacks per-monitor dialog scaling.
    void keepFontOnDpiChange() const;
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd, message, wParam, lParam);
    }

private:
    HWND hwnd = nullptr;
};

class Button : public Window {};

class StaticText : public Window {};

class Edit : public Window {
public:
    // Selects from `start` to `end` (character positions, clipped to the text).
    void setSel(int start, int end) const { send(EM_SETSEL, start, end); }
    void scrollCaret() const { send(EM_SCROLLCARET); }
};
