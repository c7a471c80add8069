#include "device/SystemText.h"

#include <windows.h>

namespace {

constexpr UINT cp932 = 932;
constexpr char unknown[] = "?";

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

} // namespace

std::string toCodePage932(const std::wstring& text) {
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
