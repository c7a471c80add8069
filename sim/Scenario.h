// Scenario: what the simulated device is and which faults it shows. Read from the file that
// KOVSIM_SCENARIO names at every open device; without one the device is healthy. Every key is
// described in sim/README.md.
#pragma once

#include "sim/Settings.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One step of status word 0: `value` for `milliseconds` (or Scenario::held); the last step of a
// plan lasts.
struct StatusStep {
    DWORD value;
    DWORD milliseconds;
};

struct Scenario {
    static constexpr DWORD defaultStepMilliseconds = 50;
    // A stage length of `held`: the stage lasts until the release file exists.
    static constexpr DWORD held = INFINITE;

    bool highSpeed = true;                    // speed = high | full (bit 0 of the 0xB1 word)
    DWORD serial = 0x00123456;                // serial = word of request 0xB5
    Revision revision = {1, 0, 'a', 0};       // revision = 1.0a
    DWORD stage1Milliseconds = 50;            // stage1_ms: status 1 after the data
    DWORD verifyMilliseconds = 100;           // verify_ms: status 2
    DWORD updateMilliseconds = 100;           // update_ms: status 3
    DWORD failStatus = 4;                     // fail_status: the word after a rejected image
    std::vector<StatusStep> statusScript;     // status = 1:50, 2, 3: replaces the stages
    DWORD statusWord1 = 0;                    // status1
    DWORD statusWord2 = 0;                    // status2
    std::optional<DWORD> openError;           // refuse_open = code
    std::map<DWORD, DWORD> pipeErrors;        // refuse_pipe = index:code, ...
    std::map<DWORD, DWORD> requestErrors;     // refuse_request = request:code, ...
    std::optional<std::uint64_t> stallAfter;  // stall_after = bytes of data
    std::optional<std::uint64_t> unplugAfter; // unplug_after = bytes of data
    std::vector<DWORD> closedPipes;           // closed_pipes = index, ...
    DWORD dataTimeoutMilliseconds = 2000;     // data_timeout_ms: no data for this long ends it
    std::string companion;                    // companion = a DLL open device loads by name
    std::wstring releaseFile;                 // release_file: ends the held stages once it exists

    bool released() const; // the release file exists
};

// Reads the scenario file at `path` over the defaults. False with `error` (a text naming the
// line) and `code` (the last-error code for open device) when it can't be read or parsed.
bool loadScenario(const std::wstring& path, Scenario& scenario, std::string& error, DWORD& code);
