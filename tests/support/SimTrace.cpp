#include "SimTrace.h"

#include "base/Handle.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

using Names = std::map<std::string, std::string>;

bool startsWith(const std::string& line, const char* prefix) {
    return line.rfind(prefix, 0) == 0;
}

// The word of `line` from `at` to `end` becomes its name, if it has one.
void name(std::string& line, size_t at, size_t end, const Names& names) {
    const auto found = names.find(line.substr(at, end - at));
    if (found != names.end())
        line.replace(at, end - at, found->second);
}

// The value of `key=` in a line of space-separated fields.
std::string field(const std::string& line, const std::string& key) {
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

} // namespace

std::string readText(const std::wstring& path) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (file && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got != 0)
        text.append(chunk, got);
    return text;
}

Lines readTrace(const std::wstring& path) {
    std::istringstream text(readText(path));
    Lines lines;
    Names names;
    int pipe = 0;
    for (std::string line; std::getline(text, line);) {
        line.erase(0, line.find(' ') + 1); // the process id
        // Handles are named where they are handed out, the result of an open, and used, the
        // first argument; each open device starts pipe0 again.
        const bool device = startsWith(line, "KovOpenDevice(");
        if (device || startsWith(line, "KovOpenPipe(")) {
            const size_t at = line.rfind(" = ") + 3;
            const size_t end = line.find(' ', at);
            const std::string handle = line.substr(at, end - at);
            if (handle != "-1") {
                if (device)
                    pipe = 0;
                names[handle] = device ? "dev" : "pipe" + std::to_string(pipe++);
            }
            name(line, at, end, names);
        }
        const size_t open = line.find('(');
        if (open != std::string::npos)
            name(line, open + 1, line.find_first_of(",)", open), names);
        lines.push_back(line);
    }
    return lines;
}

Lines linesOf(const Lines& trace, const std::string& prefix, const std::string& part) {
    Lines matching;
    for (const std::string& line : trace)
        if (startsWith(line, prefix.c_str()) && line.find(part, prefix.size()) != std::string::npos)
            matching.push_back(line);
    return matching;
}

Lines requests(const Lines& trace, unsigned request) {
    // The request is the one field after the handle written in hexadecimal.
    char field[16];
    std::snprintf(field, sizeof field, ", 0x%02X, ", request);
    return linesOf(trace, "KovControlRequest(", field);
}

DataLine lastDataLine(const Lines& trace) {
    DataLine data;
    for (auto line = trace.rbegin(); line != trace.rend(); ++line) {
        if (!startsWith(*line, "data("))
            continue;
        data.length = std::stoull(field(*line, "length"));
        data.received = std::stoull(field(*line, "received"));
        data.padding = std::stoull(field(*line, "padding"));
        data.crc = static_cast<std::uint32_t>(std::stoul(field(*line, "crc32"), nullptr, 16));
        data.end = line->substr(line->rfind(' ') + 1);
        return data;
    }
    ADD_FAILURE() << "the trace has no data line";
    return data;
}

::testing::AssertionResult devicesClosed(const Lines& trace, int opened) {
    const size_t open = linesOf(trace, "KovOpenDevice(513) = dev").size();
    const size_t closed = linesOf(trace, "KovCloseDevice(dev) = 1 err=0").size();
    const size_t pipesLeft = linesOf(trace, "pipes-left-open(").size();
    if (open == size_t(opened) && closed == size_t(opened) && pipesLeft == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << open << " devices opened, " << closed << " closed, expected " << opened
           << " of each; " << pipesLeft << " closed with a pipe left open";
}
