#include "SimFixture.h"

#include <atomic>
#include <map>
#include <sstream>

namespace {

const wchar_t* const simulatorVariables[] = {L"KOVSIM_SCENARIO", L"KOVSIM_STATE", L"KOVSIM_TRACE"};

std::wstring newFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"kelvo-sim-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

void removeFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The value of `key=` in a line of space-separated fields.
std::string field(const std::string& line, const std::string& key) {
    const size_t at = line.find(" " + key + "=");
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

// Every whole-word occurrence of `from` in `line` becomes `to`.
void replaceWord(std::string& line, const std::string& from, const std::string& to) {
    const auto boundary = [](char c) { return c == '(' || c == ')' || c == ',' || c == ' '; };
    for (size_t at = line.find(from); at != std::string::npos; at = line.find(from, at)) {
        const size_t end = at + from.size();
        if ((at == 0 || boundary(line[at - 1])) && (end == line.size() || boundary(line[end]))) {
            line.replace(at, from.size(), to);
            at += to.size();
        } else {
            at = end;
        }
    }
}

} // namespace

SimTest::SimTest() : folder(newFolder()) {
    for (const wchar_t* name : simulatorVariables)
        SetEnvironmentVariableW(name, nullptr);
    SetEnvironmentVariableW(L"KOVSIM_TRACE", file(L"trace.txt").c_str());
}

SimTest::~SimTest() {
    for (const wchar_t* name : simulatorVariables)
        SetEnvironmentVariableW(name, nullptr);
    removeFolder(folder);
}

void SimTest::scenario(const std::string& text) {
    const std::wstring path = writeFile(L"scenario.txt", Bytes(text.begin(), text.end()));
    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", path.c_str());
}

std::wstring SimTest::useStateFile() {
    const std::wstring path = file(L"state.txt");
    SetEnvironmentVariableW(L"KOVSIM_STATE", path.c_str());
    return path;
}

std::wstring SimTest::writeFile(const std::wstring& name, const Bytes& bytes) const {
    const std::wstring path = file(name);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size());
    CloseHandle(handle);
    return path;
}

std::string SimTest::readFile(const std::wstring& name) const {
    HANDLE handle =
        CreateFileW(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (handle != INVALID_HANDLE_VALUE && ReadFile(handle, chunk, sizeof chunk, &got, nullptr) &&
           got != 0)
        text.append(chunk, got);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return text;
}

Lines SimTest::trace() const {
    std::istringstream text(readFile(L"trace.txt"));
    Lines lines;
    std::map<std::string, std::string> names;
    int pipe = 0;
    for (std::string line; std::getline(text, line);) {
        line = line.substr(line.find(' ') + 1); // the process id
        // Name the handles as they are handed out: each open device starts pipe0 again.
        const std::string result = line.substr(line.rfind(" = ") + 3);
        const std::string handle = result.substr(0, result.find(' '));
        if (line.rfind("KovOpenDevice(", 0) == 0 && handle != "-1") {
            names[handle] = "dev";
            pipe = 0;
        } else if (line.rfind("KovOpenPipe(", 0) == 0 && handle != "-1") {
            names[handle] = "pipe" + std::to_string(pipe++);
        }
        for (const auto& name : names)
            replaceWord(line, name.first, name.second);
        lines.push_back(line);
    }
    return lines;
}

Lines SimTest::traceLines(const std::string& prefix) const {
    Lines matching;
    for (const std::string& line : trace())
        if (line.rfind(prefix, 0) == 0)
            matching.push_back(line);
    return matching;
}

DataLine lastDataLine(const Lines& trace) {
    DataLine data;
    for (auto line = trace.rbegin(); line != trace.rend(); ++line) {
        if (line->rfind("data(", 0) != 0)
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

std::vector<int> followStages(UsbDevice& device, int last) {
    std::vector<int> seen;
    const DWORD start = GetTickCount();
    int status = device.readStatus0();
    for (int stage = 1; stage <= last; ++stage) {
        if (status != stage)
            continue;
        seen.push_back(stage);
        while (status == stage && GetTickCount() - start < 10000) {
            Sleep(1);
            status = device.readStatus0();
        }
    }
    seen.push_back(status);
    return seen;
}
