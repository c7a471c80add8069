// What the benchmarks share: a high-resolution stopwatch, medians, firmware images for the
// simulator's default device and scratch files. Header only; every benchmark is one program.
#pragma once

#include "../tests/FirmwareFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Bytes = std::vector<std::uint8_t>;

constexpr int selector = 0x201;
constexpr std::uint32_t deviceSerial = 0x123456; // the simulator's default device

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

// A firmware image for the default simulated device (revision 1.1a), the rest pseudo-random.
inline Bytes firmware(size_t size) {
    return firmwareFile(size, 0x123456, {1, 1, 'a', 0});
}

// A scratch file in the temporary folder, named after this process; deleted when it goes.
class ScratchFile {
public:
    ScratchFile(const std::wstring& name, const Bytes& bytes) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + L"kelvo-bench-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() { DeleteFileW(path.c_str()); }

    const std::wstring& getPath() const { return path; }

private:
    std::wstring path;
};

// The simulator's scenario while this object lives: a scratch file named in KOVSIM_SCENARIO.
class Scenario {
public:
    explicit Scenario(const std::string& text)
        : file(L"scenario.txt", Bytes(text.begin(), text.end())) {
        SetEnvironmentVariableW(L"KOVSIM_SCENARIO", file.getPath().c_str());
    }
    ~Scenario() { SetEnvironmentVariableW(L"KOVSIM_SCENARIO", nullptr); }

private:
    ScratchFile file;
};

} // namespace bench
