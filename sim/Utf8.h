// UTF-16 to UTF-8 (paths in the simulator's trace lines, texts in the tests' messages) and
// back (paths in a scenario file).
#pragma once

#include <windows.h>

#include <string>

inline std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size,
                        nullptr, nullptr);
    return utf8;
}

// UTF-8 to UTF-16; false for bytes that are not UTF-8.
inline bool fromUtf8(const std::string& text, std::wstring& wide) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
    wide.assign(static_cast<size_t>(size), L'\0');
    return size > 0 && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), &wide[0], size) == size;
}
