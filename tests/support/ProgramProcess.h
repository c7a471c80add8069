// ProgramProcess: one run of a program: KelvoUpdate.exe started with extra environment variables
// (the simulator's scenario, trace and state files) on a given desktop, or any other command.
//
// 1. ProgramProcess program(exePath, {{L"KOVSIM_SCENARIO", path}}, desktopName);
// 2. waitForExit() polls for the end of the process; running() looks once.
// 3. The destructor ends a process that is still running, so a failed test leaves nothing.
//
// Wine starts a Linux program (e.g. /bin/sh) outside its own processes: CreateProcessW succeeds
// without a process handle, so such a run is started() but never running() and can't be waited
// for.
#pragma once

#include "base/Handle.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace support {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

class ProgramProcess {
public:
    // `arguments` follow the quoted `exePath` on the command line; an empty desktop name is
    // this program's desktop, an empty `currentFolder` this program's current folder. With
    // `shareOutput` the child reads and writes this program's standard handles.
    ProgramProcess(const std::wstring& exePath, const Environment& extra,
                   const std::wstring& desktopName, const std::wstring& arguments = L"",
                   const std::wstring& currentFolder = L"", bool shareOutput = false);
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;
    ~ProgramProcess();

    bool started() const { return launched; }
    DWORD id() const { return processId; }
    bool running() const;
    bool waitForExit(DWORD timeout);
    DWORD exitCode() const;

private:
    bool launched = false;
    Handle process;
    DWORD processId = 0;
};

// An option of the test programs' command lines: true when `argument` is `name` (e.g. L"--work=")
// followed by the value, which goes to `value`.
bool option(const wchar_t* argument, const wchar_t* name, std::wstring& value);

} // namespace support
