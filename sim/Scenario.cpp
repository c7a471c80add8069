#include "sim/Scenario.h"

#include "base/TextConversion.h"

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

// "a:b" with both parts numbers.
bool pair(const std::string& item, std::uint64_t& first, std::uint64_t& second) {
    const size_t colon = item.find(':');
    return colon != std::string::npos && parseNumber(item.substr(0, colon), maxWord, first) &&
           parseNumber(item.substr(colon + 1), maxWord, second);
}

// A stage's length: milliseconds, or `held` (Scenario::held, a value no number takes).
bool stageLength(const std::string& value, DWORD& milliseconds) {
    std::uint64_t parsed = Scenario::held;
    if (value != "held" && !parseNumber(value, maxWord - 1, parsed))
        return false;
    milliseconds = static_cast<DWORD>(parsed);
    return true;
}

bool length(const std::string& value, DWORD& milliseconds, std::string& problem) {
    if (stageLength(value, milliseconds))
        return true;
    problem = "expected milliseconds or held, got \"" + value + "\"";
    return false;
}

// "key:code, key:code" into `codes`.
bool codeList(const std::string& value, std::uint64_t maxKey, std::map<DWORD, DWORD>& codes,
              std::string& problem) {
    for (const std::string& item : splitList(value)) {
        std::uint64_t key = 0, code = 0;
        if (!pair(item, key, code) || key > maxKey) {
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
        const size_t colon = item.find(':');
        std::uint64_t word = 0;
        DWORD milliseconds = Scenario::defaultStepMilliseconds;
        if (!parseNumber(item.substr(0, colon), maxWord, word) ||
            (colon != std::string::npos && !stageLength(item.substr(colon + 1), milliseconds))) {
            problem = "expected value[:ms|:held], got \"" + item + "\"";
            return false;
        }
        steps.push_back({static_cast<DWORD>(word), milliseconds});
    }
    if (steps.empty())
        problem = "empty status list";
    return !steps.empty();
}

bool usesHeld(const Scenario& s) {
    const auto held = [](const StatusStep& step) { return step.milliseconds == Scenario::held; };
    return s.stage1Milliseconds == Scenario::held || s.verifyMilliseconds == Scenario::held ||
           s.updateMilliseconds == Scenario::held || s.dataTimeoutMilliseconds == Scenario::held ||
           std::any_of(s.statusScript.begin(), s.statusScript.end(), held);
}

// A relative path names a file beside the scenario file.
std::wstring besideScenario(const std::wstring& scenarioPath, const std::wstring& path) {
    const bool absolute =
        (path.size() > 1 && path[1] == L':') || path[0] == L'\\' || path[0] == L'/';
    const size_t folderEnd = scenarioPath.find_last_of(L"\\/");
    if (absolute || folderEnd == std::wstring::npos)
        return path;
    return scenarioPath.substr(0, folderEnd + 1) + path;
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
        return length(value, s.stage1Milliseconds, problem);
    if (key == "verify_ms")
        return length(value, s.verifyMilliseconds, problem);
    if (key == "update_ms")
        return length(value, s.updateMilliseconds, problem);
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
        return length(value, s.dataTimeoutMilliseconds, problem);
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
    if (key == "release_file") {
        if (!value.empty() && fromUtf8(value, s.releaseFile))
            return true;
        problem = "release_file is a path";
        return false;
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
    bool parsed = parseSettings(text, applyTo, error);
    if (parsed && usesHeld(scenario) && scenario.releaseFile.empty()) {
        error = "held without release_file";
        parsed = false;
    }
    if (!parsed) {
        code = ERROR_INVALID_DATA;
        return false;
    }
    if (!scenario.releaseFile.empty())
        scenario.releaseFile = besideScenario(path, scenario.releaseFile);
    return true;
}

bool Scenario::released() const {
    return GetFileAttributesW(releaseFile.c_str()) != INVALID_FILE_ATTRIBUTES;
}
