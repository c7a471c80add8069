// The start of a worker thread, reached through this seam so that tests can refuse it or hold
// it back. The program links Thread.cpp.
#pragma once

#include <windows.h>

namespace platform {

// Starts a thread running entry(argument): normal priority, default stack, running at once.
// The thread is not kept (it ends by itself). False when it can't be started; the last-error
// code says why, and entry never runs.
bool startThread(LPTHREAD_START_ROUTINE entry, void* argument);

} // namespace platform
