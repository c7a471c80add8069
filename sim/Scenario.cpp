#include "sim/Scenario.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::uint64_t maxWord = 0xFFFFFFFF;

template <typename T>
bool number(const std::string& value, std::uint64_t max, T& out, std::string& problem) {
    std::uint64_t parsed = 0;
    if (!parseNumber(value, max, parsed)) {
        problem = "bad number \"" + value + "\"";
        return false;
    }
    out = static_cast<T>(parsed);
    return true;
}

// "a:b" with both parts numbers; `second` keeps its value when `optionalSecond` and no colon.
bool pair(const std::string& item, std::uint64_t& first, std::uint64_t& second,
          bool optionalSecond) {
    const size_t colon = item.find(':');
    if (colon == std::string::npos)
        return optionalSecond && parseNumber(item, maxWord, first);
    return parseNumber(item.substr(0, colon), maxWord, first) &&
           parseNumber(item.substr(colon + 1), maxWord, second);
}

// "key:code, key:code" into `codes`.
bool codeList(const std::string& value, std::uint64_t maxKey, std::map<DWORD, DWORD>& codes,
              std::string& problem) {
    for (const std::string& item : splitList(value)) {
        std::uint64_t key = 0, code = 0;
        if (!pair(item, key, code, false) || key > maxKey) {
            problem = "expected key:code, got \"" + item + "\"";
            return false;
        }
        codes[static_cast<DWORD>(key)] = static_cast<DWORD>(code);
    }
    return true;
}

bool statusList(const std::string& value, std::vector<StatusStep>& steps, std::string& problem) {
    steps.clear();
    for (const std::string& item : splitList(value)) {
        std::uint64_t word = 0, milliseconds = Scenario::defaultStepMilliseconds;
        if (!pair(item, word, milliseconds, true)) {
            problem = "expected value[:ms], got \"" + item + "\"";
            return false;
        }
        steps.push_back({static_cast<DWORD>(word), static_cast<DWORD>(milliseconds)});
    }
    if (steps.empty())
        problem = "empty status list";
    return !steps.empty();
}

bool apply(Scenario& s, const std::string& key, const std::string& value, std::string& problem) {
    if (key == "speed") {
        if (value != "high" && value != "full") {
            problem = "speed is high or full";
            return false;
        }
        s.highSpeed = value == "high";
        return true;
    }
    if (key == "serial")
        return number(value, maxWord, s.serial, problem);
    if (key == "revision") {
        if (parseRevision(value, s.revision))
            return true;
        problem = "revision is like 1.0a or 1, 0, 0x61, 0";
        return false;
    }
    if (key == "stage1_ms")
        return number(value, maxWord, s.stage1Milliseconds, problem);
    if (key == "verify_ms")
        return number(value, maxWord, s.verifyMilliseconds, problem);
    if (key == "update_ms")
        return number(value, maxWord, s.updateMilliseconds, problem);
    if (key == "fail_status")
        return number(value, maxWord, s.failStatus, problem);
    if (key == "status")
        return statusList(value, s.statusScript, problem);
    if (key == "status1")
        return number(value, maxWord, s.statusWord1, problem);
    if (key == "status2")
        return number(value, maxWord, s.statusWord2, problem);
    if (key == "refuse_open") {
        DWORD code = 0;
        if (!number(value, maxWord, code, problem))
            return false;
        s.openError = code;
        return true;
    }
    if (key == "refuse_pipe")
        return codeList(value, 2, s.pipeErrors, problem);
    if (key == "refuse_request")
        return codeList(value, 0xFF, s.requestErrors, problem);
    if (key == "stall_after" || key == "unplug_after") {
        std::uint64_t bytes = 0;
        if (!number(value, std::numeric_limits<std::uint64_t>::max(), bytes, problem))
            return false;
        (key == "stall_after" ? s.stallAfter : s.unplugAfter) = bytes;
        return true;
    }
    if (key == "closed_pipes") {
        s.closedPipes.clear();
        for (const std::string& item : splitList(value)) {
            std::uint64_t index = 0;
            if (!parseNumber(item, 2, index)) {
                problem = "expected pipe indices 0 to 2, got \"" + item + "\"";
                return false;
            }
            s.closedPipes.push_back(static_cast<DWORD>(index));
        }
        return true;
    }
    if (key == "data_timeout_ms")
        return number(value, maxWord, s.dataTimeoutMilliseconds, problem);
    if (key == "companion") {
        const bool fileName = !value.empty() && std::all_of(value.begin(), value.end(), [](char c) {
            return c > ' ' && c < 0x7F && c != '/' && c != '\\' && c != ':';
        });
        if (!fileName) {
            problem = "companion is the file name of a DLL, ASCII, without a folder";
            return false;
        }
        s.companion = value;
        return true;
    }
    problem = "unknown key \"" + key + "\"";
    return false;
}

} // namespace

bool loadScenario(const std::wstring& path, Scenario& scenario, std::string& error, DWORD& code) {
    std::string text;
    if (!readTextFile(path, text, code)) {
        error = "can't read it (error " + std::to_string(code) + ")";
        return false;
    }
    const auto applyTo = [&scenario](const std::string& key, const std::string& value,
                                     std::string& problem) {
        return apply(scenario, key, value, problem);
    };
    if (parseSettings(text, applyTo, error))
        return true;
    code = ERROR_INVALID_DATA;
    return false;
}
