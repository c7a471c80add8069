#include "sim/Settings.h"

#include "base/Handle.h"
#include "base/TextFormat.h"

#include <sstream>

namespace {

std::string trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool parseSettings(const std::string& text, const SettingHandler& apply, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const size_t equals = line.find('=');
        std::string problem = "expected key = value";
        if (equals != std::string::npos &&
            apply(trim(line.substr(0, equals)), trim(line.substr(equals + 1)), problem))
            continue;
        error = "line " + std::to_string(number) + ": " + problem;
        return false;
    }
    return true;
}

bool parseNumber(const std::string& text, std::uint64_t max, std::uint64_t& value) {
    size_t i = 0;
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i == text.size())
        return false;
    std::uint64_t result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (isDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        if (digit >= base || result > (max - digit) / base)
            return false;
        result = result * base + digit;
    }
    value = result;
    return true;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    if (trim(text).empty())
        return items;
    std::istringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        items.push_back(trim(item));
    return items;
}

bool parseRevision(const std::string& text, Revision& revision) {
    std::uint64_t number = 0;
    const std::vector<std::string> bytes = splitList(text);
    if (bytes.size() == 4) {
        for (size_t i = 0; i < 4; ++i) {
            if (!parseNumber(bytes[i], 0xFF, number))
                return false;
            revision[i] = static_cast<std::uint8_t>(number);
        }
        return true;
    }
    // major.minor followed by exactly one suffix character
    const size_t dot = text.find('.');
    size_t end = dot + 1;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    if (dot == std::string::npos || end != text.size() - 1)
        return false;
    Revision parsed = {0, 0, static_cast<std::uint8_t>(text[end]), 0};
    if (!parseNumber(text.substr(0, dot), 0xFF, number))
        return false;
    parsed[0] = static_cast<std::uint8_t>(number);
    if (!parseNumber(text.substr(dot + 1, end - dot - 1), 0xFF, number))
        return false;
    parsed[1] = static_cast<std::uint8_t>(number);
    revision = parsed;
    return true;
}

std::string revisionText(const Revision& revision) {
    return formatText("%u, %u, 0x%02X, %u", revision[0], revision[1], revision[2], revision[3]);
}

bool readTextFile(const std::wstring& path, std::string& text, DWORD& error) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return false;
    }
    text.clear();
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got != 0)
        text.append(chunk, got);
    return true;
}

std::wstring environmentVariable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}
