#include "base/TextConversion.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace {

constexpr UINT cp932 = 932;
constexpr char unknown[] = "?";

int checkedLength(size_t length) {
    if (length > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw std::length_error("text too long to convert");
    return static_cast<int>(length);
}

std::wstring toWideFrom(UINT codePage, DWORD flags, const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = checkedLength(text.size());
    const int wideLength = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, &wide[0], wideLength);
    return wide;
}

std::string toMultiByte(UINT codePage, const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = checkedLength(text.size());
    const int narrowLength =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0)
        return std::string();
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, &narrow[0], narrowLength, nullptr,
                        nullptr);
    return narrow;
}

// The UTF-16 units of the character at `text[at]`: two for a surrogate pair, else one.
int unitsAt(const std::wstring& text, size_t at) {
    const bool pair =
        IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
    return pair ? 2 : 1;
}

// True when `bytes` read as code page 932 give back exactly the `count` units at `units`.
bool readsBackAs(const char* bytes, int length, const wchar_t* units, int count) {
    wchar_t back[4] = {};
    return MultiByteToWideChar(cp932, 0, bytes, length, back, 4) == count &&
           std::wstring(back, static_cast<size_t>(count)) ==
               std::wstring(units, static_cast<size_t>(count));
}

// A second byte of a double-byte character of code page 932.
bool isTrailByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value >= 0x40 && value <= 0x7E) || (value >= 0x80 && value <= 0xFC);
}

} // namespace

std::wstring toWide(const std::string& text) {
    // A lead byte that no trail byte follows (notes that end half-way through a character)
    // is converted on its own, so that the byte after it, the CR of a line end, keeps its
    // meaning: the system would take the two for one broken character.
    std::wstring wide;
    size_t start = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        if (!IsDBCSLeadByteEx(cp932, static_cast<BYTE>(text[at])))
            continue;
        if (at + 1 < text.size() && isTrailByte(text[at + 1])) {
            ++at;
            continue;
        }
        wide += toWideFrom(cp932, 0, text.substr(start, at - start));
        wide += toWideFrom(cp932, 0, text.substr(at, 1));
        start = at + 1;
    }
    return wide + toWideFrom(cp932, 0, text.substr(start));
}

std::string toCodePage932BestFit(const std::wstring& text) {
    return toMultiByte(cp932, text);
}

std::string toCodePage932AsciiFit(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size() * 2);
    for (size_t at = 0; at < text.size();) {
        const int count = unitsAt(text, at);
        const wchar_t* units = text.data() + at;
        at += static_cast<size_t>(count);

        // No WC_NO_BEST_FIT_CHARS: a character the code page lacks comes back as its best fit,
        // or as the default character when it has none.
        char bytes[8] = {};
        const int length =
            WideCharToMultiByte(cp932, 0, units, count, bytes, sizeof bytes, unknown, nullptr);
        const bool plainAscii = length == 1 && static_cast<unsigned char>(bytes[0]) < 0x80;
        if (length > 0 && (plainAscii || readsBackAs(bytes, length, units, count)))
            narrow.append(bytes, static_cast<size_t>(length));
        else
            narrow += unknown;
    }
    return narrow;
}

std::string toUtf8(const std::wstring& text) {
    return toMultiByte(CP_UTF8, text);
}

bool fromUtf8(const std::string& text, std::wstring& wide) {
    wide = toWideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    return !wide.empty() || text.empty();
}
