// Transfer benchmark: a 32 MiB firmware file sent with FirmwareWriter::sendFile (file read,
// request 0xB3, command block, padded writes polled to completion) against one plain
// overlapped WriteFile of the same bytes into the simulator's data pipe, waited for with an
// event. Both run against the simulator (bin/kovusbd.dll) in the same process, alternating,
// and the medians of the rounds are printed with their ratio.
//
//     wine-run bin/transfer_bench.exe [rounds]
#include "platform/kovusbd.h"
#include "update/FirmwareWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD fileSize = 32u << 20;
constexpr DWORD selector = 0x201;

double seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter;
}

// A firmware image for the default simulated device (serial 0x123456), the rest pseudo-random.
std::vector<std::uint8_t> firmware() {
    std::vector<std::uint8_t> bytes(fileSize);
    const std::uint8_t header[8] = {8, 0x12, 0x34, 0x56, 1, 1, 'a', 0};
    std::uint32_t state = 12345;
    for (size_t i = 0; i < bytes.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = i < sizeof header ? header[i] : static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

bool writeWhole(HANDLE pipe, const void* data, DWORD length) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    BOOL done = WriteFile(pipe, data, length, &written, &overlapped);
    if (!done && GetLastError() == ERROR_IO_PENDING)
        done = GetOverlappedResult(pipe, &overlapped, &written, TRUE);
    CloseHandle(overlapped.hEvent);
    return done && written == length;
}

double timeSendFile(const std::wstring& path) {
    FirmwareWriter device;
    if (device.open(selector) != 0) {
        std::fprintf(stderr, "open failed: %s\n", device.getLastMessage().c_str());
        std::exit(1);
    }
    const LARGE_INTEGER start = now();
    const int sent = device.sendFile(path);
    const LARGE_INTEGER end = now();
    device.close();
    if (sent != static_cast<int>(fileSize)) {
        std::fprintf(stderr, "sendFile returned %d: %s\n", sent, device.getLastMessage().c_str());
        std::exit(1);
    }
    return seconds(start, end);
}

// The same transfer with the driver library and WriteFile only: armed, announced, then one
// write of the whole file on the data pipe.
double timePlainWrite(const std::vector<std::uint8_t>& bytes) {
    HANDLE device = KovOpenDevice(selector);
    HANDLE data = KovOpenPipe(device, 0, 1);
    HANDLE command = KovOpenPipe(device, 0, 2);
    std::uint8_t block[64] = {0xFE, 0xFE, 0, 0};
    for (int i = 0; i < 4; ++i)
        block[4 + i] = static_cast<std::uint8_t>(fileSize >> (8 * i));
    bool ok = device != INVALID_HANDLE_VALUE && data != INVALID_HANDLE_VALUE &&
              command != INVALID_HANDLE_VALUE &&
              KovControlRequest(device, 0, 0, 0xB3, 0, 0, 0, nullptr) &&
              writeWhole(command, block, sizeof block);
    const LARGE_INTEGER start = now();
    ok = ok && writeWhole(data, bytes.data(), fileSize);
    const LARGE_INTEGER end = now();
    CloseHandle(data);
    CloseHandle(command);
    KovCloseDevice(device);
    if (!ok) {
        std::fprintf(stderr, "plain write failed: %lu\n", GetLastError());
        std::exit(1);
    }
    return seconds(start, end);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    SetEnvironmentVariableW(L"KOVSIM_SCENARIO", nullptr); // the healthy high-speed device
    SetEnvironmentVariableW(L"KOVSIM_TRACE", nullptr);

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path =
        std::wstring(folder) + L"kelvo-bench-" + std::to_wstring(GetCurrentProcessId()) + L".dat";
    const std::vector<std::uint8_t> bytes = firmware();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), fileSize, &written, nullptr);
    CloseHandle(file);

    std::vector<double> sendFileTimes, plainTimes;
    for (int round = 0; round < rounds; ++round) {
        sendFileTimes.push_back(timeSendFile(path));
        plainTimes.push_back(timePlainWrite(bytes));
        std::printf("round %d: sendFile %.3f s, plain WriteFile %.3f s\n", round + 1,
                    sendFileTimes.back(), plainTimes.back());
    }
    DeleteFileW(path.c_str());

    const double sendFile = median(sendFileTimes), plain = median(plainTimes);
    std::printf("32 MiB, median of %d rounds: FirmwareWriter::sendFile %.3f s (%.0f MiB/s), "
                "plain WriteFile %.3f s (%.0f MiB/s), ratio %.2f\n",
                rounds, sendFile, 32 / sendFile, plain, 32 / plain, sendFile / plain);
    return 0;
}
