#include "ProgramProcess.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <map>

namespace support {

namespace {

// Environment names compare without regard to case on Windows.
struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](wchar_t x, wchar_t y) { return std::towupper(x) < std::towupper(y); });
    }
};

// The current environment block with `extra` added (or replacing variables of the same name).
std::vector<wchar_t> environmentBlock(const Environment& extra) {
    std::map<std::wstring, std::wstring, NoCaseLess> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            std::wstring text(entry);
            // Entries such as "=C:=C:\\" name a drive's directory; the name starts after '='.
            size_t equals = text.find(L'=', 1);
            if (equals != std::wstring::npos)
                variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : extra)
        variables[name] = value;

    std::vector<wchar_t> result;
    for (const auto& [name, value] : variables) {
        std::wstring entry = name + L"=" + value;
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

} // namespace

ProgramProcess::ProgramProcess(const std::wstring& exePath, const Environment& extra,
                               const std::wstring& desktopName, const std::wstring& arguments,
                               const std::wstring& currentFolder, bool shareOutput) {
    std::wstring command = L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    std::vector<wchar_t> environment = environmentBlock(extra);
    std::wstring desktop = desktopName;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop.empty() ? nullptr : &desktop[0];
    if (shareOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        std::fflush(stdout);
        std::fflush(stderr);
    }
    PROCESS_INFORMATION info = {};
    launched = CreateProcessW(nullptr, &command[0], nullptr, nullptr, shareOutput,
                              CREATE_UNICODE_ENVIRONMENT, environment.data(),
                              currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                              &info) != FALSE;
    // A Linux program comes without a process, and its thread field is not a handle.
    if (!launched || info.hProcess == nullptr)
        return;
    const Handle firstThread(info.hThread); // not needed: closed on return
    process = Handle(info.hProcess);
    processId = info.dwProcessId;
}

ProgramProcess::~ProgramProcess() {
    if (running()) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 10000);
    }
}

bool ProgramProcess::running() const {
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::waitForExit(DWORD timeout) {
    return process && WaitForSingleObject(process.get(), timeout) == WAIT_OBJECT_0;
}

DWORD ProgramProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process)
        GetExitCodeProcess(process.get(), &code);
    return code;
}

bool option(const wchar_t* argument, const wchar_t* name, std::wstring& value) {
    const size_t length = wcslen(name);
    if (wcsncmp(argument, name, length) != 0)
        return false;
    value = argument + length;
    return true;
}

} // namespace support
