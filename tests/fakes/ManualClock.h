// ManualClock: the clock seam driven by the test. tickCount() returns `now`; sleep(ms)
// advances it by ms, records the call and yields the processor for real.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

struct ManualClock {
    static ManualClock& get();
    void reset(DWORD start = 100000);

    std::atomic<DWORD> now{100000};
    std::vector<DWORD> sleeps;
    std::function<void(DWORD)> onSleep; // called with each sleep's length
    std::function<void()> onTick;       // called at each tick reading
};
