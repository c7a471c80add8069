// Common ground of the integration tests: the real device classes against the simulator
// (sim/kovusbd.dll), loaded through the ordinal-only import library.
//
// Each test gets a folder of its own for the simulator's scenario, trace and state files and
// names them through the environment before it opens the device (the simulator reads them at
// every open device). trace() is the trace as support/SimTrace.h reads it.
#pragma once

#include "device/UsbDevice.h"
#include "support/ErrorTexts.h"
#include "support/FirmwareFile.h"
#include "support/SimTrace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

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
    void useStateFile() const {
        SetEnvironmentVariableW(L"KOVSIM_STATE", file(L"state.txt").c_str());
    }
    std::wstring file(const std::wstring& name) const { return folder + L"\\" + name; }
    std::wstring writeFile(const std::wstring& name, const Bytes& bytes) const;
    std::string readFile(const std::wstring& name) const { return readText(file(name)); }

    Lines trace() const { return readTrace(file(L"trace.txt")); }
    // The lines of trace() that start with `prefix`.
    Lines traceLines(const std::string& prefix) const { return linesOf(trace(), prefix); }

    std::wstring folder;
};

// Status word 0 as the update sequence follows it: stage 1, 2 and 3 in that order (up to `last`),
// each for as long as it lasts. Returns the stages seen, then the value that ended them (a stage
// that comes back also ends them). Gives up after ten seconds, so that a stuck device fails the
// test instead of hanging it.
std::vector<int> followStages(UsbDevice& device, int last = 3);
