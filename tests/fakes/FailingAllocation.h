// Allocations that fail on demand. The test programs that link this replace the global
// operator new: it throws std::bad_alloc on the one thread that is starved, and allocates as
// usual everywhere else.
//
// FakeDriver::starveAfter starves the thread that makes a chosen call, from the call's return
// until that thread's next call to the library: the code in between (a reporter, a log line)
// runs out of memory, the clean-up calls after it do not.
#pragma once

#include <windows.h>

// Every allocation of thread `threadId` fails from now on; 0 starves no thread.
void starveThread(DWORD threadId);
DWORD starvedThread();
