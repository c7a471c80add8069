#include "FakeTimer.h"

#include "platform/Timer.h"

FakeTimer& FakeTimer::get() {
    static FakeTimer fake;
    return fake;
}

namespace platform {

bool startTimer(HWND window, UINT_PTR id, UINT period) {
    FakeTimer& fake = FakeTimer::get();
    fake.uses.push_back("start " + std::to_string(id) + " " + std::to_string(period));
    return !fake.refuse && SetTimer(window, id, period, nullptr) != 0;
}

void stopTimer(HWND window, UINT_PTR id) {
    FakeTimer::get().uses.push_back("stop " + std::to_string(id));
    KillTimer(window, id);
}

} // namespace platform
