// SimDevice: one opened simulated device: the scenario it was opened with, the device model,
// its pipes with the device thread, and its trace. Open device creates one from the files the
// environment names at that moment (KOVSIM_SCENARIO, KOVSIM_STATE, KOVSIM_TRACE), so every open
// starts a freshly plugged device; close device destroys it.
#pragma once

#include "sim/DeviceModel.h"
#include "sim/PipeServer.h"
#include "sim/Scenario.h"
#include "sim/Trace.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

class SimDevice {
public:
    static constexpr DWORD selector = 513;

    // The device for `selector`, its pipes created and its thread running; null with the
    // last-error code in `error` when it can't be opened. `name` is its handle as traced.
    static std::unique_ptr<SimDevice> open(DWORD selector, const std::string& name,
                                           const Trace& trace, DWORD& error);

    SimDevice(Scenario scenario, Revision revision, const std::wstring& statePath, Trace trace,
              const std::string& name);
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    // Control request: 0 or the last-error code.
    DWORD request(DWORD direction, DWORD code, DWORD index, DWORD length, void* buffer) {
        return model.request(direction, code, index, length, buffer);
    }
    // Open pipe: 0 with the client end in `client`, or the last-error code.
    DWORD openPipe(DWORD index, HANDLE& client);
    bool ownsPipe(HANDLE client) const { return pipes.handedOut(client); }
    const Trace& getTrace() const { return trace; }

private:
    struct FreeModule {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    using Module = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;

    // Loads the scenario's companion DLL by its name alone, as a driver library that finds its
    // helpers beside itself does: where the program lets Windows look decides whether it is
    // found. Null with the last-error code in `error` when it is not.
    static Module loadCompanion(const std::string& fileName, const std::string& name,
                                const Trace& trace, DWORD& error);

    Module companion; // held while the device is open
    const Scenario scenario;
    const Trace trace;
    DeviceModel model;
    PipeServer pipes; // last: its thread stops before the model goes
};
