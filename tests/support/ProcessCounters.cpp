#include "support/ProcessCounters.h"

#include <algorithm>

HandleCount openHandles() {
    constexpr ULONG_PTR highestValue = 0x2000;
    HandleCount count;
    for (ULONG_PTR value = 4; value < highestValue; value += 4) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (!GetHandleInformation(handle, &flags))
            continue;
        ++count.all;
        if (GetFileType(handle) != FILE_TYPE_UNKNOWN)
            ++count.files;
    }
    return count;
}

PROCESS_MEMORY_COUNTERS_EX memoryCounters() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters;
}

SIZE_T privateBytes() {
    const PROCESS_MEMORY_COUNTERS_EX counters = memoryCounters();
    return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

double processorSeconds(HANDLE thread) {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    GetThreadTimes(thread, &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) { // from 100 ns units
        return static_cast<double>(ULONGLONG{time.dwHighDateTime} << 32 | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
