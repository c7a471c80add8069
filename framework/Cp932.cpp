#include "framework/Cp932.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace {

constexpr UINT cp932 = 932;

int checkedLength(size_t length) {
    if (length > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("text too long to convert");
    return static_cast<int>(length);
}

} // namespace

std::wstring toWide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = checkedLength(text.size());
    const int wideLength = MultiByteToWideChar(cp932, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(cp932, 0, text.data(), length, &wide[0], wideLength);
    return wide;
}

std::string toNarrow(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = checkedLength(text.size());
    const int narrowLength =
        WideCharToMultiByte(cp932, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(cp932, 0, text.data(), length, &narrow[0], narrowLength, nullptr, nullptr);
    return narrow;
}
