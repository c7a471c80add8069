// Memory cost: the peak private bytes of this process while FirmwareWriter::sendFile sends a
// 64 MiB firmware file to the simulator, above what the process held just before, divided by
// the file size. One buffer for the whole file and no second copy give a little over 1.
//
// Private bytes as tests/support/ProcessCounters.h reads them; Wine 8 keeps no peak, so a
// thread samples them every millisecond during the transfer.
//
//     wine-run bench/memory_bench.exe
#include "Bench.h"
#include "base/Handle.h"
#include "support/ProcessCounters.h"
#include "update/FirmwareWriter.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using namespace bench;

constexpr DWORD fileSize = 64u << 20;

// The firmware file, written a megabyte at a time so that this process never holds it whole.
void writeFirmwareFile(const std::wstring& path) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    Bytes chunk = firmware(1 << 20);
    DWORD written = 0;
    for (DWORD done = 0; done < fileSize; done += static_cast<DWORD>(chunk.size())) {
        WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr);
        chunk[0] = chunk[1] = 0xA5; // the header only once
    }
}

double mib(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

} // namespace

int main() {
    defaultDevice();
    const TempFile file{Bytes()};
    writeFirmwareFile(file.path());

    FirmwareWriter device;
    if (device.open(selector) != 0) {
        std::fprintf(stderr, "memory_bench: open failed: %s\n", device.getLastMessage().c_str());
        return 1;
    }
    std::atomic<bool> sampling{true};
    std::atomic<SIZE_T> sampledPeak{0};
    const SIZE_T before = privateBytes();
    std::thread sampler([&] {
        while (sampling.load()) {
            const SIZE_T now = privateBytes();
            if (now > sampledPeak.load())
                sampledPeak.store(now);
            Sleep(1);
        }
    });
    const int sent = device.sendFile(file.path());
    sampling.store(false);
    sampler.join();
    device.close();
    if (sent != static_cast<int>(fileSize)) {
        std::fprintf(stderr, "memory_bench: sendFile returned %d: %s\n", sent,
                     device.getLastMessage().c_str());
        return 1;
    }
    const SIZE_T after = privateBytes();
    const SIZE_T peak = std::max(sampledPeak.load(), memoryCounters().PeakPagefileUsage);
    std::printf("memory, 64 MiB sendFile: private bytes %.1f MiB before, peak %.1f MiB, "
                "%.1f MiB after\n",
                mib(before), mib(peak), mib(after));
    std::printf("  ratio memory peak-growth/file-size %.3f\n",
                static_cast<double>(peak - before) / fileSize);
    return 0;
}
