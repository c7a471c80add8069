// The power request of a thread (SetThreadExecutionState) and the reason a window gives for
// holding up shutdown, reached through this seam so that tests see what the update asks of the
// system. The program links ExecutionState.cpp.
#pragma once

#include <windows.h>

namespace platform {

// Sets the calling thread's execution state (ES_ flags); returns the previous state, or 0 when
// the system refused it.
EXECUTION_STATE setThreadExecutionState(EXECUTION_STATE state);

// Gives Windows the text it shows beside `window` while the window holds up shutdown or
// log-off; null takes it back.
void setShutdownBlockReason(HWND window, const wchar_t* reason);

} // namespace platform
