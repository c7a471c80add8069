// The six operations of kovusbd.dll, exported by ordinal. Each finds the device behind its
// handle, lets it answer, writes one trace line, and sets the thread's last-error code as the
// very last step (the caller reads it at once).
#include "base/TextFormat.h"
#include "platform/kovusbd.h"
#include "sim/SimDevice.h"
#include "sim/Wire.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace {

// The open devices by handle. Device handles are odd numbers, so never equal to a kernel handle
// such as a pipe's, and never reused in a process, so a stale handle finds nothing.
class DeviceTable {
public:
    HANDLE reserve() {
        std::lock_guard<std::mutex> guard(lock);
        // NOLINTNEXTLINE(performance-no-int-to-ptr): a device handle is a number, not an address
        const HANDLE handle = reinterpret_cast<HANDLE>(nextHandle);
        nextHandle += 2;
        return handle;
    }
    void add(HANDLE handle, std::shared_ptr<SimDevice> device) {
        std::lock_guard<std::mutex> guard(lock);
        devices[handle] = std::move(device);
    }
    std::shared_ptr<SimDevice> find(HANDLE handle) {
        std::lock_guard<std::mutex> guard(lock);
        const auto found = devices.find(handle);
        return found == devices.end() ? nullptr : found->second;
    }
    std::shared_ptr<SimDevice> findByPipe(HANDLE pipe) {
        std::lock_guard<std::mutex> guard(lock);
        for (const auto& entry : devices)
            if (entry.second->ownsPipe(pipe))
                return entry.second;
        return nullptr;
    }
    std::shared_ptr<SimDevice> remove(HANDLE handle) {
        std::lock_guard<std::mutex> guard(lock);
        const auto found = devices.find(handle);
        if (found == devices.end())
            return nullptr;
        std::shared_ptr<SimDevice> device = std::move(found->second);
        devices.erase(found);
        return device;
    }

private:
    std::mutex lock;
    std::uintptr_t nextHandle = 0x4B51;
    std::map<HANDLE, std::shared_ptr<SimDevice>> devices;
};

DeviceTable& deviceTable() {
    static DeviceTable table;
    return table;
}

Trace traceOf(const std::shared_ptr<SimDevice>& device) {
    return device ? device->getTrace() : Trace::fromEnvironment();
}

// Abort pipe and reset pipe change nothing on the device side: they only check the handle.
DWORD pipeOperation(const char* operation, HANDLE pipe) {
    const std::shared_ptr<SimDevice> device = deviceTable().findByPipe(pipe);
    const DWORD error = device ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    traceOf(device).write("%s(%s) = %d err=%lu", operation, handleText(pipe).c_str(),
                          device ? 1 : 0, error);
    SetLastError(error);
    return device ? 1 : 0;
}

} // namespace

extern "C" {

HANDLE WINAPI KovOpenDevice(DWORD selector) {
    const Trace trace = Trace::fromEnvironment();
    HANDLE handle = deviceTable().reserve();
    DWORD error = ERROR_SUCCESS;
    std::shared_ptr<SimDevice> device = SimDevice::open(selector, handleText(handle), trace, error);
    if (device)
        deviceTable().add(handle, std::move(device));
    else
        handle = INVALID_HANDLE_VALUE;
    trace.write("KovOpenDevice(%lu) = %s err=%lu", selector, handleText(handle).c_str(), error);
    SetLastError(error);
    return handle;
}

DWORD WINAPI KovCloseDevice(HANDLE device) {
    std::shared_ptr<SimDevice> closed = deviceTable().remove(device);
    const Trace trace = traceOf(closed);
    const DWORD error = closed ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    closed.reset(); // stops the device thread
    trace.write("KovCloseDevice(%s) = %d err=%lu", handleText(device).c_str(),
                error == ERROR_SUCCESS ? 1 : 0, error);
    SetLastError(error);
    return error == ERROR_SUCCESS ? 1 : 0;
}

BOOL WINAPI KovControlRequest(HANDLE device, DWORD direction, DWORD zero, DWORD request,
                              DWORD value, DWORD index, DWORD length, void* buffer) {
    const std::shared_ptr<SimDevice> sim = deviceTable().find(device);
    DWORD error = ERROR_INVALID_HANDLE;
    if (sim)
        error = zero != 0 || value != 0 ? ERROR_INVALID_PARAMETER
                                        : sim->request(direction, request, index, length, buffer);
    std::string reply;
    if (error == ERROR_SUCCESS && direction == wire::deviceToHost) {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        reply =
            " reply=" + formatText("0x%02X%02X%02X%02X", bytes[3], bytes[2], bytes[1], bytes[0]);
    }
    traceOf(sim).write("KovControlRequest(%s, %lu, %lu, 0x%lX, %lu, %lu, %lu, %s) = %d err=%lu%s",
                       handleText(device).c_str(), direction, zero, request, value, index, length,
                       buffer ? "buf" : "null", error == ERROR_SUCCESS ? 1 : 0, error,
                       reply.c_str());
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

DWORD WINAPI KovResetPipe(HANDLE pipe) {
    return pipeOperation("KovResetPipe", pipe);
}

DWORD WINAPI KovAbortPipe(HANDLE pipe) {
    return pipeOperation("KovAbortPipe", pipe);
}

HANDLE WINAPI KovOpenPipe(HANDLE device, DWORD zero, DWORD index) {
    const std::shared_ptr<SimDevice> sim = deviceTable().find(device);
    HANDLE pipe = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_INVALID_HANDLE;
    if (sim)
        error = zero != 0 ? ERROR_INVALID_PARAMETER : sim->openPipe(index, pipe);
    traceOf(sim).write("KovOpenPipe(%s, %lu, %lu) = %s err=%lu", handleText(device).c_str(), zero,
                       index, handleText(pipe).c_str(), error);
    SetLastError(error);
    return pipe;
}
}
