// Common ground of the integration tests: the real device classes against the simulator
// (sim/kovusbd.dll), loaded through the ordinal-only import library.
//
// Each test gets a folder of its own for the simulator's scenario, trace and state files and
// names them through the environment before it opens the device (the simulator reads them at
// every open device). trace() returns the trace with the process ids and the handles replaced
// by names: "dev" for the device, "pipe0".."pipe2" for the pipes of the latest open.
#pragma once

#include "../ErrorTexts.h"
#include "../FirmwareFile.h"

#include "device/UsbDevice.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

class SimTest : public ::testing::Test {
protected:
    SimTest();
    ~SimTest() override;

    // Writes the scenario file and names it in KOVSIM_SCENARIO.
    void scenario(const std::string& text);
    // Ends the scenario's held stages: creates the file `release` that `release_file = release`
    // names.
    void release() const { writeFile(L"release", {}); }
    // Names a state file in KOVSIM_STATE (not created until the device installs a revision).
    std::wstring useStateFile();
    std::wstring file(const std::wstring& name) const { return folder + L"\\" + name; }
    std::wstring writeFile(const std::wstring& name, const Bytes& bytes) const;
    std::string readFile(const std::wstring& name) const;

    // The trace so far, normalised as described above.
    Lines trace() const;
    // The lines of trace() that start with `prefix`.
    Lines traceLines(const std::string& prefix) const;

    std::wstring folder;
};

// One "data(...)" line of the trace: what the device received after a command block.
struct DataLine {
    std::uint64_t length = 0;   // announced
    std::uint64_t received = 0; // data bytes received, padding not counted
    std::uint64_t padding = 0;
    std::uint32_t crc = 0;
    std::string end; // complete, timed-out, broken, closed, unplugged
};
// The last data line of the trace; fails the test when there is none.
DataLine lastDataLine(const Lines& trace);

// Status word 0 as the update sequence follows it: stage 1, 2 and 3 in that order (up to `last`),
// each for as long as it lasts. Returns the stages seen, then the value that ended them (a stage
// that comes back also ends them). Gives up after ten seconds, so that a stuck device fails the
// test instead of hanging it.
std::vector<int> followStages(UsbDevice& device, int last = 3);
