// Options of the end-to-end programs: --name=value arguments.
#pragma once

#include <cwchar>
#include <string>

namespace e2e {

// True when `argument` starts with `name` (e.g. L"--work="); `value` gets the rest.
inline bool option(const wchar_t* argument, const wchar_t* name, std::wstring& value) {
    const size_t length = std::wcslen(name);
    if (std::wcsncmp(argument, name, length) != 0)
        return false;
    value = argument + length;
    return true;
}

} // namespace e2e
