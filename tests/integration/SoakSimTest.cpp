// Soak: 500 cycles of connect, transfer of a 1 MiB file, status to success and close against
// the simulator, with one device object as the dialog holds it. From cycle 50 on (by then every
// lazily made resource of the process, Wine's and the heap's, exists) the files and pipes the
// process holds must stay exactly as many, its handles of any kind within 3 (Wine and the
// runtime make an event or a mutex of their own the first time two threads meet on a lock,
// once per process, while a leak of one handle a cycle would add 450), and its private bytes
// within 128 KiB (the heap moves by some 24 KiB from cycle to cycle, while a leak of 300 bytes
// a cycle adds 135 KiB over the 450 cycles, and one lost transfer buffer a whole MiB).
#include "SimFixture.h"
#include "support/ProcessCounters.h"
#include "update/FirmwareWriter.h"

#include <cstdio>

namespace {

constexpr int cycles = 500;
constexpr int settledCycle = 50;
constexpr int sampleEvery = 10;
constexpr int fileSize = 1 << 20;
constexpr DWORD handleTolerance = 3;
constexpr SIZE_T byteTolerance = 128 * 1024;
const std::uint8_t newRevision[4] = {1, 2, 'a', 0};

using Soak = SimTest;

TEST_F(Soak, FiveHundredUpdateCyclesLeakNoHandleAndNoMemory) {
    // No stages: the device is idle again as soon as the data is in.
    scenario("stage1_ms = 0\nverify_ms = 0\nupdate_ms = 0\n");
    SetEnvironmentVariableW(L"KOVSIM_TRACE", nullptr); // 500 cycles of trace lines cost seconds
    const std::wstring path =
        writeFile(L"firmware.dat", firmwareFile(fileSize, 0x123456, newRevision));

    FirmwareWriter device;
    HandleCount settled, most;
    SIZE_T settledBytes = 0, mostBytes = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        ASSERT_EQ(0, device.open(0x201)) << "cycle " << cycle << ": " << device.getLastMessage();
        ASSERT_EQ(fileSize, device.sendFile(path)) << "cycle " << cycle;
        ASSERT_EQ(0, followStages(device).back()) << "cycle " << cycle;
        ASSERT_EQ(0, device.sendFinal()) << "cycle " << cycle;
        ASSERT_EQ(0, device.close()) << "cycle " << cycle;
        if (cycle < settledCycle || cycle % sampleEvery != 0)
            continue;
        const HandleCount handles = openHandles();
        const SIZE_T bytes = privateBytes();
        std::printf("cycle %d: %lu handles (%lu files and pipes), %lu KiB private\n", cycle,
                    handles.all, handles.files, static_cast<unsigned long>(bytes / 1024));
        if (cycle == settledCycle) {
            settled = handles;
            settledBytes = bytes;
        }
        most.all = std::max(most.all, handles.all);
        most.files = std::max(most.files, handles.files);
        mostBytes = std::max(mostBytes, bytes);
    }
    EXPECT_EQ(settled.files, most.files);
    EXPECT_LE(most.all, settled.all + handleTolerance);
    EXPECT_LE(mostBytes, settledBytes + byteTolerance);
}

} // namespace
