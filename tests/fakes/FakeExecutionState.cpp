#include "FakeExecutionState.h"

#include "platform/ExecutionState.h"

FakeExecutionState& FakeExecutionState::get() {
    static FakeExecutionState fake;
    return fake;
}

void FakeExecutionState::reset() {
    std::lock_guard<std::mutex> guard(lock);
    recorded.clear();
}

std::vector<FakeExecutionState::Request> FakeExecutionState::requests() const {
    std::lock_guard<std::mutex> guard(lock);
    return recorded;
}

namespace platform {

EXECUTION_STATE setThreadExecutionState(EXECUTION_STATE state) {
    FakeExecutionState& fake = FakeExecutionState::get();
    std::lock_guard<std::mutex> guard(fake.lock);
    fake.recorded.push_back({GetCurrentThreadId(), state});
    return ES_CONTINUOUS;
}

} // namespace platform
