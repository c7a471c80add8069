// LogEdit: the dialog's read-only log, an edit control with a locked printf-style append.
//
// 1. The dialog binds it to its edit control; appendFormat/appendFormatV may then be called
//    from the UI thread and from the update worker.
// 2. Each append formats the message, then under the lock reads the whole text, drops the
//    oldest bytes once the total would pass 32767, writes the text back and scrolls to the end.
//    Lengths are code page 932 bytes, as the texts are; the window holds UTF-16.
// 3. While a worker appends, the UI thread must keep serving its messages (the window
//    operations of the append are carried out by it) and must not append itself.
// 4. setAppendedHandler: told of each message once it is in the window, on the appending
//    thread and under the lock, so in the order the log shows them.
#pragma once

#include "base/Mutex.h"
#include "base/TextFormat.h"
#include "framework/Window.h"

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>

class LogEdit : public Edit {
public:
    static constexpr std::size_t trimThreshold = 32767; // bytes above which old text goes
    static constexpr std::size_t keptBase = 32000;      // base of the old bytes kept
    static constexpr int endPosition = 0x7FFF;          // the caret's place after an append

    using Appended = std::function<void(const std::string& message)>;

    LogEdit() = default;
    ~LogEdit() override = default;

    virtual void appendFormatV(const char* format, va_list args) KELVO_PRINTF_FORMAT(2, 0);
    virtual void appendFormat(const char* format, ...) KELVO_PRINTF_FORMAT(2, 3);
    // Empties the log, without the lock.
    virtual void clear();

    // What is left of `old` when `newLength` bytes follow it: when the total passes 32767,
    // the old text keeps only its last 32000 - (total - 32767) bytes (none when that is not
    // positive). The cut ignores character boundaries.
    static void trimForAppend(std::string& old, std::size_t newLength);

    void setAppendedHandler(Appended handler) { appended = std::move(handler); }

private:
    Mutex lock;
    Appended appended;
};
