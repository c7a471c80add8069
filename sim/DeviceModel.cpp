#include "sim/DeviceModel.h"

#include "sim/StateFile.h"
#include "sim/Wire.h"

#include <algorithm>

using namespace wire;

namespace {

// A USB device answers a request it does not support with a stall, which the library
// reports as a general failure.
constexpr DWORD stalled = ERROR_GEN_FAILURE;

} // namespace

DeviceModel::DeviceModel(const Scenario& scenario, Revision revision, std::wstring statePath,
                         Trace trace, std::string name)
    : scenario(scenario), statePath(std::move(statePath)), trace(std::move(trace)),
      name(std::move(name)), revision(revision) {
    setPlan({{statusIdle, 0}});
}

DWORD DeviceModel::request(DWORD direction, DWORD code, DWORD index, DWORD length, void* buffer) {
    std::lock_guard<std::mutex> guard(lock);
    if (unplugged)
        return ERROR_DEVICE_NOT_CONNECTED;
    const auto refused = scenario.requestErrors.find(code);
    if (refused != scenario.requestErrors.end())
        return refused->second;
    const bool reads = direction == deviceToHost;
    if (direction > deviceToHost || length != (reads ? replyLength : 0) ||
        (reads && buffer == nullptr))
        return ERROR_INVALID_PARAMETER;

    switch (code) {
    case requestFinal: // the device starts the firmware it received
        if (reads || index != 0)
            return stalled;
        install();
        return 0;
    case requestControl: // index 0 arms a transfer: a command block may follow
        if (reads || (index != 0 && index != 2))
            return stalled;
        if (index == 0) {
            armed = true;
            setPlan({{statusBusy, 0}});
        }
        return 0;
    case requestConfiguration:
    case requestStatus:
    case requestSerial:
    case requestRevision:
        if (!reads || index > (code == requestStatus ? 2u : 0u))
            return stalled;
        reply(code, index, static_cast<std::uint8_t*>(buffer));
        return 0;
    default:
        return stalled;
    }
}

// The 4-byte replies, least significant byte first; the revision word is major, minor, suffix,
// reserved in that byte order.
void DeviceModel::reply(DWORD code, DWORD index, std::uint8_t* buffer) {
    DWORD word = 0;
    if (code == requestConfiguration)
        word = scenario.highSpeed ? 1 : 0; // bit 0: high speed
    else if (code == requestStatus && index == 0)
        word = readStatusWord0();
    else if (code == requestStatus)
        word = index == 1 ? scenario.statusWord1 : scenario.statusWord2;
    else if (code == requestSerial)
        word = scenario.serial;
    else
        for (int i = 0; i < 4; ++i)
            word |= DWORD{revision[i]} << (8 * i);
    for (int i = 0; i < 4; ++i)
        buffer[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

DWORD DeviceModel::pipeOpenError(DWORD index) const {
    std::lock_guard<std::mutex> guard(lock);
    if (unplugged)
        return ERROR_DEVICE_NOT_CONNECTED;
    if (index >= pipeCount)
        return ERROR_INVALID_PARAMETER;
    const auto refused = scenario.pipeErrors.find(index);
    return refused == scenario.pipeErrors.end() ? 0 : refused->second;
}

DeviceModel::Block DeviceModel::commandBlock(const std::uint8_t* block, std::uint32_t& length) {
    std::lock_guard<std::mutex> guard(lock);
    if (!armed)
        return Block::ignored;
    armed = false;
    if (block[0] != firmwareCommand || block[1] != firmwareCommand) {
        setPlan({{scenario.failStatus, 0}});
        return Block::rejected;
    }
    length = 0;
    for (int i = 0; i < 4; ++i)
        length |= std::uint32_t{block[lengthOffset + i]} << (8 * i);
    return Block::accepted;
}

void DeviceModel::transferEnded(std::uint32_t announced, std::uint64_t received,
                                const std::uint8_t* header) {
    std::lock_guard<std::mutex> guard(lock);
    const bool accepted = received >= announced && announced >= headerSize && imageFits(header);
    if (accepted)
        receivedRevision = Revision{header[4], header[5], header[6], header[7]};
    if (!scenario.statusScript.empty()) {
        setPlan(scenario.statusScript);
        return;
    }
    const StatusStep verify = {statusVerifying, scenario.verifyMilliseconds};
    if (accepted)
        setPlan({{statusBusy, scenario.stage1Milliseconds},
                 verify,
                 {statusUpdating, scenario.updateMilliseconds},
                 {statusIdle, 0}});
    else
        setPlan({{statusBusy, scenario.stage1Milliseconds}, verify, {scenario.failStatus, 0}});
}

void DeviceModel::unplug() {
    std::lock_guard<std::mutex> guard(lock);
    unplugged = true;
}

// The device's own check of an image header: a size byte of at least 8, and a target serial
// number (bytes 1..3, most significant first) that names this device, or 0 for every device
// of the same revision suffix.
bool DeviceModel::imageFits(const std::uint8_t* header) const {
    if (header[0] < headerSize)
        return false;
    const DWORD target = DWORD{header[1]} << 16 | DWORD{header[2]} << 8 | header[3];
    if (target == 0)
        return header[6] == revision[2];
    return target == (scenario.serial & 0xFFFFFF);
}

// Request 0xB0: once the stages have ended in success, the received revision becomes the
// device's own (and the state file's).
void DeviceModel::install() {
    if (!receivedRevision || statusWord0() != statusIdle)
        return;
    revision = *receivedRevision;
    receivedRevision.reset();
    const bool saved = statePath.empty() || writeState(statePath, revision);
    trace.write("install(%s) revision=%s%s", name.c_str(), revisionText(revision).c_str(),
                saved ? "" : " state-not-saved");
}

void DeviceModel::setPlan(std::vector<StatusStep> steps) {
    plan = std::move(steps);
    step = 0;
    stepStart = Clock::now();
    stepSeen.reset();
}

// A step that lasts ends once its time has passed and a status request has read it, so that
// no stage passes unseen by a caller that polls late (a loaded machine). A held step ends once
// it has been read and the release file exists, whichever comes last.
void DeviceModel::advancePlan() {
    const Clock::time_point now = Clock::now();
    while (step + 1 < plan.size()) {
        const DWORD milliseconds = plan[step].milliseconds;
        if (milliseconds != 0 && !stepSeen)
            return;
        Clock::time_point end = now;
        if (milliseconds == Scenario::held) {
            if (!scenario.released())
                return;
        } else {
            end = std::max(stepStart + std::chrono::milliseconds(milliseconds),
                           stepSeen.value_or(stepStart));
            if (now < end)
                return;
        }
        ++step;
        stepStart = end;
        stepSeen.reset();
    }
}

DWORD DeviceModel::statusWord0() {
    advancePlan();
    return plan[step].value;
}

DWORD DeviceModel::readStatusWord0() {
    const DWORD word = statusWord0();
    if (!stepSeen)
        stepSeen = Clock::now();
    return word;
}
