// The text format of the simulator's scenario and state files: `key = value` lines, `#` starts
// a comment that runs to the end of the line, blank lines are ignored. Numbers are decimal or
// 0x-prefixed hexadecimal. Also the environment variables that name these files.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Firmware revision as the device reports it to request 0xB6: major, minor, suffix, reserved.
using Revision = std::array<std::uint8_t, 4>;

// Applies one setting; false with `problem` set when the key or the value is not understood.
using SettingHandler =
    std::function<bool(const std::string& key, const std::string& value, std::string& problem)>;

// Calls `apply` for every setting of `text` in order. False at the first bad line, with `error`
// naming the line number and the problem.
bool parseSettings(const std::string& text, const SettingHandler& apply, std::string& error);

// A number no larger than `max`.
bool parseNumber(const std::string& text, std::uint64_t max, std::uint64_t& value);
// Comma-separated items, each trimmed; empty text gives no items.
std::vector<std::string> splitList(const std::string& text);
// "1.0a" (major.minor and one suffix character, reserved 0) or four numbers "1, 0, 0x61, 0".
bool parseRevision(const std::string& text, Revision& revision);
std::string revisionText(const Revision& revision); // four numbers, as parseRevision reads them

// The whole file as bytes. False with the Win32 error code when it can't be read.
bool readTextFile(const std::wstring& path, std::string& text, DWORD& error);
// The value of an environment variable; empty when it is not set.
std::wstring environmentVariable(const wchar_t* name);
