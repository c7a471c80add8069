// The operations the simulated device refuses, as both the integration tests (UsbDevice and
// UpdaterDevice against the simulator) and the end-to-end tests (the program) meet them: the
// scenario that makes the device refuse, the operation that fails and the lines it leaves.
//
// 1. for (const Refusal& refusal : refusals()) { scenario(refusal.scenario); ... }
// 2. Connect runs the operations up to Operation::revision (duringConnect), the update the rest.
#pragma once

#include "ErrorTexts.h"

#include <windows.h>

#include <string>
#include <vector>

// In the order the program meets them.
enum class Operation { openDevice, configuration, openPipe, serial, revision, status, arm, final };

inline bool duringConnect(Operation operation) {
    return operation <= Operation::revision;
}

struct Refusal {
    const char* name;
    const char* scenario;
    Operation operation;
    DWORD code;                           // the last-error code the driver library leaves
    std::string english;                  // UsbDevice's last message
    std::string japanese = std::string(); // UpdaterDevice's, where it differs
    // UpdaterDevice's last message: the line the log shows (code page 932).
    const std::string& logged() const { return japanese.empty() ? english : japanese; }
};

inline std::vector<Refusal> refusals() {
    using O = Operation;
    return {
        {"OpenDevice", "refuse_open = 55", O::openDevice, 55, "Fail to open device.",
         "ハルモカとの接続に失敗しました.\r\n"},
        {"Configuration", "refuse_request = 0xB1:31", O::configuration, 31, vendorRequestError(31)},
        {"Pipe0", "refuse_pipe = 0:5", O::openPipe, 5, openPipeError(0, 5)},
        {"Pipe1", "refuse_pipe = 1:31", O::openPipe, 31, openPipeError(1, 31)},
        {"Pipe2", "refuse_pipe = 2:1167", O::openPipe, 1167, openPipeError(2, 1167)},
        {"Serial", "refuse_request = 0xB5:31", O::serial, 31, vendorRequestError(31)},
        {"Revision", "refuse_request = 0xB6:1167", O::revision, 1167, vendorRequestError(1167)},
        {"Status", "refuse_request = 0xB2:31", O::status, 31, vendorRequestError(31)},
        {"ArmTransfer", "refuse_request = 0xB3:31", O::arm, 31, vendorRequestError(31)},
        {"Final", "refuse_request = 0xB0:31", O::final, 31, vendorRequestError(31)},
    };
}
