// Trace: the simulator's record of every driver call and every block and data transfer the
// device received, one line each, appended to the file that KOVSIM_TRACE names. Each line is
// one write to a file opened for appending only, so lines of several threads and processes
// never interleave. Line formats: sim/README.md.
#pragma once

#include "base/TextFormat.h"

#include <windows.h>

#include <string>

class Trace {
public:
    Trace() = default; // writes nothing
    explicit Trace(std::wstring path) : path(std::move(path)) {}
    static Trace fromEnvironment();

    // printf-style; the line gets the process id in front and a line feed at the end. Leaves
    // the thread's last-error code as it found it.
    void write(const char* format, ...) const KELVO_PRINTF_FORMAT(2, 3);

private:
    std::wstring path;
};

// A handle as the trace shows it: -1 or 0x-prefixed hexadecimal.
std::string handleText(HANDLE handle);
