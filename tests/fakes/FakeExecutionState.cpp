#include "FakeExecutionState.h"

#include "platform/ExecutionState.h"

std::vector<ExecutionRequest>& executionRequests() {
    static std::vector<ExecutionRequest> requests;
    return requests;
}

EXECUTION_STATE platform::setThreadExecutionState(EXECUTION_STATE state) {
    executionRequests().emplace_back(GetCurrentThreadId(), state);
    return ES_CONTINUOUS;
}
