#include "FakeExecutionState.h"

#include "platform/ExecutionState.h"

std::vector<ExecutionRequest>& executionRequests() {
    static std::vector<ExecutionRequest> requests;
    return requests;
}

std::vector<std::wstring>& shutdownBlockReasons() {
    static std::vector<std::wstring> reasons;
    return reasons;
}

EXECUTION_STATE platform::setThreadExecutionState(EXECUTION_STATE state) {
    executionRequests().emplace_back(GetCurrentThreadId(), state);
    return ES_CONTINUOUS;
}

void platform::setShutdownBlockReason(HWND, const wchar_t* reason) {
    shutdownBlockReasons().emplace_back(reason != nullptr ? reason : L"");
}
