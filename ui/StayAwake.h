// StayAwake: while it lives, the calling thread asks the system not to sleep; its end gives
// the request back. Hold it on the thread that does the work, for exactly that work.
#pragma once

#include "platform/ExecutionState.h"

#include <windows.h>

class StayAwake {
public:
    StayAwake() { platform::setThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }
    StayAwake(const StayAwake&) = delete;
    StayAwake& operator=(const StayAwake&) = delete;
    ~StayAwake() { platform::setThreadExecutionState(ES_CONTINUOUS); }
};
