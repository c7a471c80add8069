// The execution-state seam in unit tests: every request is recorded with the thread that made
// it; the system is never asked.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

struct FakeExecutionState {
    struct Request {
        DWORD thread;
        EXECUTION_STATE state;
    };

    static FakeExecutionState& get();
    void reset();
    std::vector<Request> requests() const;

    mutable std::mutex lock;
    std::vector<Request> recorded;
};
