#include "ProcessCounters.h"

#include <psapi.h>

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

SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return std::max(counters.PrivateUsage, counters.PagefileUsage);
}
