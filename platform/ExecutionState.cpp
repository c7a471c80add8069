#include "platform/ExecutionState.h"

namespace platform {

EXECUTION_STATE setThreadExecutionState(EXECUTION_STATE state) {
    return ::SetThreadExecutionState(state);
}

} // namespace platform
