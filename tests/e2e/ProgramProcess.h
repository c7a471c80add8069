// ProgramProcess: one run of KelvoUpdate.exe, started with extra environment variables (the
// simulator's scenario, trace and state files) on a given desktop.
//
// 1. ProgramProcess program(exePath, {{L"KOVSIM_SCENARIO", path}}, desktopName);
// 2. waitForExit() polls for the end of the process; running() looks once.
// 3. The destructor ends a process that is still running, so a failed test leaves nothing.
#pragma once

#include "Handle.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

class ProgramProcess {
public:
    ProgramProcess(const std::wstring& exePath, const Environment& extra,
                   const std::wstring& desktopName, const std::wstring& arguments = L"");
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess();

    bool started() const { return static_cast<bool>(process); }
    DWORD id() const { return processId; }
    bool running() const;
    bool waitForExit(DWORD timeout);
    DWORD exitCode() const;

private:
    Handle process;
    DWORD processId = 0;
};

// The current environment block with `extra` added (or replacing variables of the same name).
std::vector<wchar_t> environmentBlock(const Environment& extra);

} // namespace e2e
