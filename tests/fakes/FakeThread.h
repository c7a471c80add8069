// FakeThread: the thread-start seam in unit tests. By default it starts a real thread; a test
// may refuse the start, or hold the thread back and run its entry later, when it chooses.
#pragma once

#include <windows.h>

struct FakeThread {
    enum Mode { start, refuse, hold };

    static FakeThread& get();
    void reset() { *this = FakeThread(); }

    // Runs the held entry on the calling thread and forgets it; returns its exit code.
    DWORD runHeld();

    Mode mode = start;
    int starts = 0; // start requests seen, refused ones included
    LPTHREAD_START_ROUTINE heldEntry = nullptr;
    void* heldArgument = nullptr;
};
