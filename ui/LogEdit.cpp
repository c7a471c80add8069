#include "ui/LogEdit.h"

#include "base/TextFormat.h"

#include <mutex>

void LogEdit::appendFormatV(const char* format, va_list args) {
    const std::string message = formatTextV(format, args);

    // Read, trim, write back and scroll as one unit, so that no append of another thread is
    // lost between our read and our write.
    std::lock_guard<Mutex> guard(lock);
    std::string log = text();
    trimForAppend(log, message.size());
    log += message;
    setText(log);
    setSel(endPosition, endPosition);
    scrollCaret();
    if (appended)
        appended(message);
}

void LogEdit::appendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendFormatV(format, args);
    va_end(args);
}

void LogEdit::clear() {
    setText(std::string());
}

void LogEdit::trimForAppend(std::string& old, std::size_t newLength) {
    const std::size_t total = old.size() + newLength;
    if (total <= trimThreshold)
        return;
    const std::size_t excess = total - trimThreshold;
    if (excess >= keptBase) {
        old.clear();
        return;
    }
    const std::size_t kept = keptBase - excess;
    if (kept < old.size())
        old.erase(0, old.size() - kept);
}
