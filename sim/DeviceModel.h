// DeviceModel: the simulated device itself, without its pipes: configuration, serial number and
// revision, the three status words, the control requests, and what a command block and a
// received firmware image do to it.
//
// Status word 0 follows a plan of steps (StatusStep) started at the last change: 0 when idle,
// 1 from request 0xB3 until the image is in, then the stages 1, 2, 3, 0 (or 1, 2 and the
// failure value for an image the device refuses), or the scenario's scripted steps. A step of
// nonzero length lasts its time (a held one: until the release file exists) and until a status
// request has read it.
// Requests come on the caller's threads, blocks and data on the device thread: one lock guards
// the state.
#pragma once

#include "sim/Scenario.h"
#include "sim/Trace.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class DeviceModel {
public:
    static constexpr std::size_t headerSize = 8; // of a firmware image: size, target, revision

    enum class Block { accepted, ignored, rejected };

    // `statePath` may be empty (no state file); `name` is the device handle as traced.
    DeviceModel(const Scenario& scenario, Revision revision, std::wstring statePath, Trace trace,
                std::string name);

    // A control request with the driver library's arguments. 0 when done (a reply in `buffer`
    // for direction 1), else the last-error code of the refusal.
    DWORD request(DWORD direction, DWORD code, DWORD index, DWORD length, void* buffer);
    // 0 when pipe `index` may be opened, else the last-error code.
    DWORD pipeOpenError(DWORD index) const;

    // A 64-byte block from the command pipe. An accepted one sets `length` to the number of
    // data bytes it announces.
    Block commandBlock(const std::uint8_t* block, std::uint32_t& length);
    // The data phase is over: `received` of the `announced` bytes arrived, and `header` holds
    // the first min(received, 8) of them. Checks the image and starts the stages.
    void transferEnded(std::uint32_t announced, std::uint64_t received, const std::uint8_t* header);
    // The device is gone: every later request and pipe open fails.
    void unplug();

private:
    using Clock = std::chrono::steady_clock;

    void setPlan(std::vector<StatusStep> steps);
    void advancePlan();
    DWORD statusWord0();
    // Status word 0 as request 0xB2 reads it: the current step counts as seen.
    DWORD readStatusWord0();
    void reply(DWORD code, DWORD index, std::uint8_t* buffer);
    bool imageFits(const std::uint8_t* header) const;
    void install();

    const Scenario& scenario;
    const std::wstring statePath;
    const Trace trace;
    const std::string name;

    mutable std::mutex lock;
    Revision revision;
    std::optional<Revision> receivedRevision; // of an accepted image, until 0xB0
    bool armed = false;
    bool unplugged = false;
    std::vector<StatusStep> plan;
    size_t step = 0;
    Clock::time_point stepStart;
    std::optional<Clock::time_point> stepSeen; // the first read of the current step
};
