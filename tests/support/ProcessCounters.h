// What a leak would show in this process: its open handles and its private bytes (also the
// memory benchmark's figures); and the processor time a thread has used.
#pragma once

#include <windows.h>

#include <psapi.h>

struct HandleCount {
    DWORD all = 0;
    DWORD files = 0; // files and pipes: what a transfer opens
};

// The handles the process holds, found by trying every handle value it could hold (multiples of
// 4 below 0x2000; this process holds fewer than a hundred). Wine 8 answers
// GetProcessHandleCount with 0, so the handles are counted one by one; it takes some 50 ms.
HandleCount openHandles();

// The process's private committed memory in bytes. Windows reports it in PrivateUsage and
// PagefileUsage alike; Wine 8 leaves PrivateUsage 0 and reports its anonymous resident memory
// in PagefileUsage, so the larger of the two is taken.
SIZE_T privateBytes();

// The counters privateBytes() is read from (their peaks: Wine 8 keeps none).
PROCESS_MEMORY_COUNTERS_EX memoryCounters();

// The processor time, user and kernel, that `thread` has used so far, in seconds.
double processorSeconds(HANDLE thread);
