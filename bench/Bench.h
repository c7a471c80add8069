// What the benchmarks share: a high-resolution stopwatch, medians, firmware images for the
// simulator's default device; scratch files (and scenarios) are the tests' TempFile. Header
// only; every benchmark is one program.
#pragma once

#include "support/FirmwareFile.h"
#include "support/TempFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Bytes = std::vector<std::uint8_t>;

constexpr int selector = 0x201;

inline double secondsSince(LONGLONG start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start) / static_cast<double>(frequency.QuadPart);
}

inline LONGLONG startWatch() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The simulator's healthy default device, without trace (a trace line costs the calling thread
// a file open, append and close) or state file.
inline void defaultDevice() {
    for (const wchar_t* name : {L"KOVSIM_SCENARIO", L"KOVSIM_TRACE", L"KOVSIM_STATE"})
        SetEnvironmentVariableW(name, nullptr);
}

// A firmware image for the default simulated device (revision 1.1a), the rest pseudo-random.
inline Bytes firmware(size_t size) {
    return firmwareFile(size, 0x123456, {1, 1, 'a', 0});
}

} // namespace bench
