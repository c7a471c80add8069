#include "ManualClock.h"

#include "platform/Clock.h"

ManualClock& ManualClock::get() {
    static ManualClock clock;
    return clock;
}

void ManualClock::reset(DWORD start) {
    now = start;
    sleeps.clear();
    onSleep = nullptr;
    onTick = nullptr;
}

namespace platform {

DWORD tickCount() {
    ManualClock& clock = ManualClock::get();
    if (clock.onTick)
        clock.onTick();
    return clock.now;
}

void sleep(DWORD milliseconds) {
    ManualClock& clock = ManualClock::get();
    clock.sleeps.push_back(milliseconds);
    if (clock.onSleep)
        clock.onSleep(milliseconds);
    clock.now += milliseconds;
    ::Sleep(0);
}

} // namespace platform
