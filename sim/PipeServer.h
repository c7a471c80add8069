// PipeServer: the device's three pipes and the device thread that reads them.
//
// Each pipe is a byte-mode named pipe with no buffer: the client end (overlapped, write-only)
// goes to the caller through open pipe, and a write on it stays pending until the device
// thread has read every byte of it, as a USB transfer stays pending until the device has
// taken its packets. The device thread reads 64-byte command blocks from pipe 2 and, after an
// accepted block, the announced data from pipe 1 in whole packets; pipe 0 is never read.
// Scenario faults: the thread stops reading the data (stall) or drops every pipe (unplug)
// after a number of data bytes; pipes may be closed on the device's side from the start.
// When the device goes, it traces the pipes whose client ends the caller still holds.
#pragma once

#include "base/Handle.h"
#include "sim/DeviceModel.h"
#include "sim/Scenario.h"
#include "sim/Trace.h"
#include "sim/Wire.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PipeServer {
public:
    PipeServer(DeviceModel& model, const Scenario& scenario, Trace trace, std::string name);
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;
    // Stops the device thread, traces the client ends the caller has not closed, and closes
    // every end the caller has not taken.
    ~PipeServer();

    // Creates the three pipes and starts the device thread: 0 or the Win32 error code.
    DWORD start();
    // Hands the client end of pipe `index` to the caller, who closes it with CloseHandle.
    // 0, or ERROR_BUSY when it was handed out before.
    DWORD takeClient(DWORD index, HANDLE& client);
    // True for a client end this device handed out.
    bool handedOut(HANDLE client) const;

private:
    enum class Read { done, broken, timedOut, stopped };

    void run();
    bool receiveData(std::uint32_t length, std::vector<std::uint8_t>& buffer);
    Read readSome(DWORD index, std::uint8_t* buffer, DWORD size, DWORD& got, DWORD timeout,
                  bool held = false);
    Read readFully(DWORD index, std::uint8_t* buffer, DWORD size);
    void unplug();
    void stop();
    void traceClientsLeftOpen() const;

    DeviceModel& model;
    const Scenario& scenario;
    const Trace trace;
    const std::string name;

    Handle servers[wire::pipeCount];
    Handle stopEvent;
    Handle readEvent;
    std::thread thread;

    mutable std::mutex clientLock;
    Handle clients[wire::pipeCount]; // until handed out
    HANDLE handed[wire::pipeCount] = {nullptr, nullptr, nullptr};
};
