// The message table of a dialog: rows that route a window message to a typed handler.
//
// 1. A dialog class lists its rows in messageTable(), built with the functions below, e.g.
//    commandEntry<&MyDialog::onConnect>(IDC_CONNECT) or timerEntry<&MyDialog::onTimer>().
// 2. Each row decodes WPARAM/LPARAM for its message, so handlers take typed arguments.
// 3. A handler that wants the dialog's default processing calls Dialog::passToDefault().
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class Dialog;

struct MessageEntry {
    UINT message;
    UINT commandId; // WM_COMMAND rows: the control id (clicked); 0 otherwise
    // Calls the handler; the value goes back as the dialog procedure's result.
    INT_PTR (*call)(Dialog& dialog, WPARAM wParam, LPARAM lParam);
};

struct MessageTable {
    const MessageEntry* entries;
    std::size_t count;
};

template <std::size_t N> MessageTable makeMessageTable(const MessageEntry (&entries)[N]) {
    return MessageTable{entries, N};
}

namespace detail {

template <class Handler> struct HandlerClass;
template <class D, class R, class... Args> struct HandlerClass<R (D::*)(Args...)> {
    using type = D;
};

} // namespace detail

// Button `id` clicked: void handler().
template <auto handler> MessageEntry commandEntry(UINT id) {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)()>::value, "void handler()");
    return {WM_COMMAND, id, [](Dialog& dialog, WPARAM, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)();
                return TRUE;
            }};
}

// WM_SYSCOMMAND: void handler(UINT command, LPARAM position).
template <auto handler> MessageEntry sysCommandEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)(UINT, LPARAM)>::value,
                  "void handler(UINT, LPARAM)");
    return {WM_SYSCOMMAND, 0, [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)(static_cast<UINT>(wParam), lParam);
                return TRUE;
            }};
}

// WM_PAINT: void handler().
template <auto handler> MessageEntry paintEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)()>::value, "void handler()");
    return {WM_PAINT, 0, [](Dialog& dialog, WPARAM, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)();
                return TRUE;
            }};
}

// WM_QUERYDRAGICON: HICON handler(); a dialog procedure returns the icon itself.
template <auto handler> MessageEntry queryDragIconEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), HICON (D::*)()>::value, "HICON handler()");
    return {WM_QUERYDRAGICON, 0, [](Dialog& dialog, WPARAM, LPARAM) -> INT_PTR {
                return reinterpret_cast<INT_PTR>((static_cast<D&>(dialog).*handler)());
            }};
}

// WM_DPICHANGED: void handler(int dotsPerInch), the new vertical DPI. The suggested rectangle
// is left to the default processing (the dialog manager resizes the dialog itself).
template <auto handler> MessageEntry dpiChangedEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)(int)>::value, "void handler(int)");
    return {WM_DPICHANGED, 0, [](Dialog& dialog, WPARAM wParam, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)(HIWORD(wParam));
                return TRUE;
            }};
}

// WM_TIMER: void handler(UINT_PTR id).
template <auto handler> MessageEntry timerEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)(UINT_PTR)>::value,
                  "void handler(UINT_PTR)");
    return {WM_TIMER, 0, [](Dialog& dialog, WPARAM wParam, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)(static_cast<UINT_PTR>(wParam));
                return TRUE;
            }};
}

// Any other message, e.g. a registered or a private one: void handler().
template <auto handler> MessageEntry messageEntry(UINT message) {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)()>::value, "void handler()");
    return {message, 0, [](Dialog& dialog, WPARAM, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)();
                return TRUE;
            }};
}

// WM_QUERYENDSESSION: bool handler(), true to let the session end. A dialog procedure gives
// the answer through DWLP_MSGRESULT.
template <auto handler> MessageEntry queryEndSessionEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), bool (D::*)()>::value, "bool handler()");
    return {WM_QUERYENDSESSION, 0, [](Dialog& dialog, WPARAM, LPARAM) -> INT_PTR {
                const bool mayEnd = (static_cast<D&>(dialog).*handler)();
                SetWindowLongPtrW(static_cast<D&>(dialog).handle(), DWLP_MSGRESULT,
                                  mayEnd ? TRUE : FALSE);
                return TRUE;
            }};
}

// WM_ENDSESSION: void handler(bool ending); `ending` is false when the session goes on.
template <auto handler> MessageEntry endSessionEntry() {
    using D = typename detail::HandlerClass<decltype(handler)>::type;
    static_assert(std::is_same<decltype(handler), void (D::*)(bool)>::value, "void handler(bool)");
    return {WM_ENDSESSION, 0, [](Dialog& dialog, WPARAM wParam, LPARAM) -> INT_PTR {
                (static_cast<D&>(dialog).*handler)(wParam != FALSE);
                return TRUE;
            }};
}
