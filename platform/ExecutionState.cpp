#include "platform/ExecutionState.h"

namespace platform {

EXECUTION_STATE setThreadExecutionState(EXECUTION_STATE state) {
    return ::SetThreadExecutionState(state);
}

void setShutdownBlockReason(HWND window, const wchar_t* reason) {
    if (reason != nullptr)
        ShutdownBlockReasonCreate(window, reason);
    else
        ShutdownBlockReasonDestroy(window);
}

} // namespace platform
