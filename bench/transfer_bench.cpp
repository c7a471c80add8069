// Transfer cost: a firmware file of 1 MiB and of 32 MiB sent to the simulator (sim/kovusbd.dll)
// four ways, alternating round by round in one process:
//   plain     the same transfer with the driver library and WriteFile only: request 0xB3, the
//             command block, one write of the whole image, each write waited for on an event;
//   sendData  FirmwareWriter::sendData from memory (request 0xB3, command block and its 2 ms
//             pause, the data write polled to completion);
//   sendFile  FirmwareWriter::sendFile: the same after reading the file into one buffer;
//   plain+read  the plain transfer after reading the file with ReadFile into fresh memory, the
//             like-for-like partner of sendFile.
// The device is opened before and closed after each timed transfer. Medians and ratios are
// printed; sendFile / sendData shows the share of reading the file.
//
//     wine-run bench/transfer_bench.exe [rounds at 32 MiB]
#include "Bench.h"
#include "base/Handle.h"
#include "platform/kovusbd.h"
#include "update/FirmwareWriter.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace bench;

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "transfer_bench: %s: %s\n", what, detail.c_str());
    std::exit(1);
}

// One write, waited for as long as the program itself gives it; a write still pending then is
// cancelled and collected, and the benchmark fails.
bool writeWhole(HANDLE pipe, const void* data, DWORD length) {
    const Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event.get();
    DWORD written = 0;
    BOOL done = WriteFile(pipe, data, length, &written, &overlapped);
    if (!done && GetLastError() == ERROR_IO_PENDING) {
        const bool hung =
            WaitForSingleObject(event.get(), FirmwareWriter::transferTimeout(length)) !=
            WAIT_OBJECT_0;
        if (hung)
            CancelIoEx(pipe, &overlapped);
        done = GetOverlappedResult(pipe, &overlapped, &written, TRUE);
        if (hung)
            fail("plain write hangs", std::to_string(length) + " bytes");
    }
    return done && written == length;
}

// The plain transfer of `length` bytes at `image`; `read`, when given, first fills the image
// (inside the timed span).
template <typename Read> double timePlain(const std::uint8_t* image, DWORD length, Read read) {
    HANDLE device = KovOpenDevice(selector);
    Handle data(KovOpenPipe(device, 0, 1));
    Handle command(KovOpenPipe(device, 0, 2));
    std::uint8_t block[64] = {0xFE, 0xFE, 0, 0};
    for (int i = 0; i < 4; ++i)
        block[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    const LONGLONG start = startWatch();
    const bool ok = read() && device != INVALID_HANDLE_VALUE && data && command &&
                    KovControlRequest(device, 0, 0, 0xB3, 0, 0, 0, nullptr) &&
                    writeWhole(command.get(), block, sizeof block) &&
                    writeWhole(data.get(), image, length);
    const double elapsed = secondsSince(start);
    // The pipes go before their device, as the program closes them.
    data.reset();
    command.reset();
    KovCloseDevice(device);
    if (!ok)
        fail("plain write failed", std::to_string(GetLastError()));
    return elapsed;
}

double timePlain(const Bytes& image) {
    return timePlain(image.data(), static_cast<DWORD>(image.size()), [] { return true; });
}

double timePlainWithRead(const std::wstring& path, DWORD length) {
    // Fresh memory from the system, as a large heap block is: committed, not yet touched.
    const auto release = [](void* block) { VirtualFree(block, 0, MEM_RELEASE); };
    const std::unique_ptr<std::uint8_t, decltype(release)> memory(
        static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, length, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
        release);
    return timePlain(memory.get(), length, [&] {
        const Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD got = 0;
        return ReadFile(file.get(), memory.get(), length, &got, nullptr) && got == length;
    });
}

// Times `transfer` on a freshly opened device; it must return `expected`.
template <typename Transfer> double timeWriter(Transfer transfer, int expected) {
    FirmwareWriter device;
    if (device.open(selector) != 0)
        fail("open failed", device.getLastMessage());
    const LONGLONG start = startWatch();
    const int sent = transfer(device);
    const double elapsed = secondsSince(start);
    device.close();
    if (sent != expected)
        fail("transfer failed", std::to_string(sent) + " " + device.getLastMessage());
    return elapsed;
}

void measure(const char* name, size_t size, int rounds) {
    const Bytes image = firmware(size);
    const TempFile file(image);
    const int length = static_cast<int>(size);
    std::vector<double> plain, plainRead, fromMemory, fromFile;
    timePlain(image); // warm-up: the file in the system's cache, the code paged in
    for (int round = 0; round < rounds; ++round) {
        plain.push_back(timePlain(image));
        plainRead.push_back(timePlainWithRead(file.path(), static_cast<DWORD>(length)));
        fromMemory.push_back(timeWriter(
            [&](FirmwareWriter& device) {
                return device.sendData(image.data(), static_cast<DWORD>(length));
            },
            length));
        fromFile.push_back(timeWriter(
            [&](FirmwareWriter& device) { return device.sendFile(file.path()); }, length));
    }
    const double mib = static_cast<double>(size) / (1 << 20);
    const double p = median(plain), r = median(plainRead), m = median(fromMemory),
                 f = median(fromFile);
    std::printf("transfer %s, median of %d rounds: plain WriteFile %.1f ms (%.0f MiB/s), "
                "plain ReadFile+WriteFile %.1f ms, sendData %.1f ms, sendFile %.1f ms\n",
                name, rounds, p * 1e3, mib / p, r * 1e3, m * 1e3, f * 1e3);
    std::printf("  ratio transfer %s sendFile/plain %.3f\n", name, f / p);
    std::printf("  ratio transfer %s sendData/plain %.3f\n", name, m / p);
    std::printf("  ratio transfer %s sendFile/sendData %.3f (reading the file)\n", name, f / m);
    std::printf("  ratio transfer %s sendFile/plain-read+write %.3f\n", name, f / r);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    defaultDevice();
    measure("1 MiB", 1u << 20, rounds * 4);
    measure("32 MiB", 32u << 20, rounds);
    return 0;
}
