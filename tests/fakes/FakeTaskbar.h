// The taskbar seam in unit tests: the progress states and flashes the program asks for, in
// order; the shell is never asked.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <vector>

struct FakeTaskbar {
    static FakeTaskbar& get();
    void reset() { *this = FakeTaskbar(); }

    std::vector<TBPFLAG> states;
    int flashes = 0;
};
