// printf-style formatting into std::string: the program's texts and log lines (code page 932
// bytes, as the arguments give them).
//
// Every printf-like function of the program carries KELVO_PRINTF_FORMAT, so that the compiler
// checks each format against its arguments. Its arguments are the positions of the format and
// of the first variable argument (0 for a va_list); in a member function `this` is position 1.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#if defined(__GNUC__)
// mingw-w64 names the archetype of the printf that <cstdio> gives (its own under C++).
#define KELVO_PRINTF_FORMAT(formatAt, firstAt)                                                     \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatAt, firstAt)))
#else
#define KELVO_PRINTF_FORMAT(formatAt, firstAt)
#endif

KELVO_PRINTF_FORMAT(1, 0)
inline std::string formatTextV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    const int written = std::vsnprintf(&text[0], text.size() + 1, format, args);
    // The same format and arguments again; only an argument changed meanwhile gives another
    // length.
    if (written < 0)
        return std::string();
    if (written < length)
        text.resize(static_cast<size_t>(written));
    return text;
}

KELVO_PRINTF_FORMAT(1, 2)
inline std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatTextV(format, args);
    va_end(args);
    return text;
}
