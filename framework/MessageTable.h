// The message table of a dialog: rows that route a window message to a typed handler.
//
// 1. A dialog class lists its rows in messageTable(), e.g. entry<WM_TIMER, &MyDialog::onTimer>(),
//    commandEntry<&MyDialog::onConnect>(IDC_CONNECT) for a button's click, or
//    messageEntry<&MyDialog::onDone>(doneMessage) for a private or a registered message.
// 2. MessageTraits<message> says how a row decodes WPARAM/LPARAM into the handler's arguments
//    and how the handler's result goes back; a handler of another type does not compile.
// 3. A handler that wants the dialog's default processing calls Dialog::passToDefault().
#pragma once

#include <windows.h>

#include <cstddef>
#include <tuple>
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

// A message's handler: void handler(); the dialog procedure returns TRUE. Specialisations
// start from MessageTraits<WM_NULL>, this one, and replace arguments() (WPARAM/LPARAM decoded
// into the handler's arguments) or Result and reply() (how the handler's result goes back).
template <UINT message> struct MessageTraits {
    using Result = void;
    static std::tuple<> arguments(WPARAM, LPARAM) { return {}; }
};

// WM_SYSCOMMAND: void handler(UINT command, LPARAM position).
template <> struct MessageTraits<WM_SYSCOMMAND> : MessageTraits<WM_NULL> {
    static std::tuple<UINT, LPARAM> arguments(WPARAM wParam, LPARAM lParam) {
        return {static_cast<UINT>(wParam), lParam};
    }
};

// WM_QUERYDRAGICON: HICON handler(); a dialog procedure returns the icon itself.
template <> struct MessageTraits<WM_QUERYDRAGICON> : MessageTraits<WM_NULL> {
    using Result = HICON;
    static INT_PTR reply(HWND, HICON icon) { return reinterpret_cast<INT_PTR>(icon); }
};

// WM_DPICHANGED: void handler(int dotsPerInch), the new vertical DPI. The suggested rectangle
// is left to the default processing (the dialog manager resizes the dialog itself).
template <> struct MessageTraits<WM_DPICHANGED> : MessageTraits<WM_NULL> {
    static std::tuple<int> arguments(WPARAM wParam, LPARAM) { return {HIWORD(wParam)}; }
};

// WM_TIMER: void handler(UINT_PTR id).
template <> struct MessageTraits<WM_TIMER> : MessageTraits<WM_NULL> {
    static std::tuple<UINT_PTR> arguments(WPARAM wParam, LPARAM) {
        return {static_cast<UINT_PTR>(wParam)};
    }
};

// WM_QUERYENDSESSION: bool handler(), true to let the session end. A dialog procedure gives
// the answer through DWLP_MSGRESULT.
template <> struct MessageTraits<WM_QUERYENDSESSION> : MessageTraits<WM_NULL> {
    using Result = bool;
    static INT_PTR reply(HWND dialog, bool mayEnd) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, mayEnd ? TRUE : FALSE);
        return TRUE;
    }
};

// WM_ENDSESSION: void handler(bool ending); `ending` is false when the session goes on.
template <> struct MessageTraits<WM_ENDSESSION> : MessageTraits<WM_NULL> {
    static std::tuple<bool> arguments(WPARAM wParam, LPARAM) { return {wParam != FALSE}; }
};

namespace detail {

template <class Handler> struct HandlerClass;
template <class D, class R, class... Args> struct HandlerClass<R (D::*)(Args...)> {
    using type = D;
};

// R (D::*)(Args...) for Args in a std::tuple.
template <class D, class R, class Arguments> struct MemberFunction;
template <class D, class R, class... Args> struct MemberFunction<D, R, std::tuple<Args...>> {
    using type = R (D::*)(Args...);
};

// Every row: the handler's type follows from Traits, and the row calls it with the decoded
// arguments.
template <class Traits, auto handler> MessageEntry makeEntry(UINT message, UINT commandId) {
    using D = typename HandlerClass<decltype(handler)>::type;
    using Result = typename Traits::Result;
    using Arguments = decltype(Traits::arguments(WPARAM{}, LPARAM{}));
    static_assert(
        std::is_same_v<decltype(handler), typename MemberFunction<D, Result, Arguments>::type>,
        "the handler's result and parameters must be those MessageTraits gives its message");
    return {message, commandId, [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> INT_PTR {
                D& target = static_cast<D&>(dialog);
                const auto arguments =
                    std::tuple_cat(std::tie(target), Traits::arguments(wParam, lParam));
                if constexpr (std::is_void_v<Result>) {
                    std::apply(handler, arguments);
                    return TRUE;
                } else {
                    return Traits::reply(target.handle(), std::apply(handler, arguments));
                }
            }};
}

} // namespace detail

// A row for `message`, with the handler MessageTraits<message> describes.
template <UINT message, auto handler> MessageEntry entry() {
    static_assert(message != WM_COMMAND, "a button's click: commandEntry<handler>(id)");
    return detail::makeEntry<MessageTraits<message>, handler>(message, 0);
}

// Button `id` clicked: void handler().
template <auto handler> MessageEntry commandEntry(UINT id) {
    return detail::makeEntry<MessageTraits<WM_COMMAND>, handler>(WM_COMMAND, id);
}

// A private message (WM_APP and up) or a registered one: void handler().
template <auto handler> MessageEntry messageEntry(UINT message) {
    return detail::makeEntry<MessageTraits<WM_NULL>, handler>(message, 0);
}

// A private message that carries its parameters: void handler(WPARAM, LPARAM).
struct PrivateMessageTraits : MessageTraits<WM_NULL> {
    static std::tuple<WPARAM, LPARAM> arguments(WPARAM wParam, LPARAM lParam) {
        return {wParam, lParam};
    }
};
template <auto handler> MessageEntry privateMessageEntry(UINT message) {
    return detail::makeEntry<PrivateMessageTraits, handler>(message, 0);
}
