#include "FakeDriver.h"

#include "FailingAllocation.h"
#include "platform/kovusbd.h"

#include <cstdio>
#include <cstring>

FakeDriver& FakeDriver::get() {
    static FakeDriver driver;
    return driver;
}

void FakeDriver::reset() {
    *this = FakeDriver();
    starveThread(0);
}

std::string FakeDriver::name(HANDLE handle) const {
    if (handle == INVALID_HANDLE_VALUE)
        return "-1";
    if (handle == deviceHandle())
        return "dev";
    for (int i = 0; i < 3; ++i)
        if (handle == pipeHandles[i])
            return "pipe" + std::to_string(i);
    return "?";
}

int FakeDriver::countCalls(const std::string& prefix) const {
    int count = 0;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            ++count;
    return count;
}

namespace {

// One call to the library. Its thread has memory while the library works; when `starveAfter`
// matches the call, it has none from the call's return on.
class Call {
public:
    explicit Call(FakeDriver& driver) : driver(driver) {
        if (starvedThread() == GetCurrentThreadId())
            starveThread(0);
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    ~Call() {
        if (starve)
            starveThread(GetCurrentThreadId());
    }

    void record(std::string line) {
        const std::string& prefix = driver.starveAfter;
        starve = !prefix.empty() && line.compare(0, prefix.size(), prefix) == 0;
        driver.calls.push_back(std::move(line));
    }

private:
    FakeDriver& driver;
    bool starve = false;
};

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace

extern "C" {

HANDLE WINAPI KovOpenDevice(DWORD selector) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("OpenDevice(" + std::to_string(selector) + ")");
    if (d.openDeviceError) {
        SetLastError(d.openDeviceError);
        return INVALID_HANDLE_VALUE;
    }
    return FakeDriver::deviceHandle();
}

DWORD WINAPI KovCloseDevice(HANDLE device) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("CloseDevice(" + d.name(device) + ")");
    return 1;
}

BOOL WINAPI KovControlRequest(HANDLE device, DWORD direction, DWORD zero, DWORD request,
                              DWORD value, DWORD index, DWORD length, void* buffer) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("ControlRequest(" + d.name(device) + "," + std::to_string(direction) + "," +
                std::to_string(zero) + "," + hex(request) + "," + std::to_string(value) + "," +
                std::to_string(index) + "," + std::to_string(length) + "," +
                (buffer ? "buf" : "null") + ")");
    DWORD error = 0;
    auto refused = d.requestError.find(request);
    if (refused != d.requestError.end())
        error = refused->second;
    if (request == 0xB2 && !d.statusErrors.empty()) {
        error = d.statusErrors.front();
        d.statusErrors.pop_front();
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    if (direction == 1 && buffer && length == 4) {
        DWORD reply = d.replies[request];
        if (request == 0xB2 && !d.statusReplies.empty()) {
            reply = d.statusReplies.front();
            d.statusReplies.pop_front();
        }
        std::memcpy(buffer, &reply, 4);
    }
    return TRUE;
}

DWORD WINAPI KovResetPipe(HANDLE pipe) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("ResetPipe(" + d.name(pipe) + ")");
    return 1;
}

DWORD WINAPI KovAbortPipe(HANDLE pipe) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("AbortPipe(" + d.name(pipe) + ")");
    return 1;
}

HANDLE WINAPI KovOpenPipe(HANDLE device, DWORD zero, DWORD index) {
    FakeDriver& d = FakeDriver::get();
    Call call(d);
    call.record("OpenPipe(" + d.name(device) + "," + std::to_string(zero) + "," +
                std::to_string(index) + ")");
    if (index > 2 || d.pipeOpenError[index]) {
        SetLastError(index > 2 ? ERROR_INVALID_PARAMETER : d.pipeOpenError[index]);
        return INVALID_HANDLE_VALUE;
    }
    d.pipes[index] = std::make_unique<TestPipe>(d.pipeBufferSize, d.nonBlockingPipes);
    d.pipeHandles[index] = d.pipes[index]->takeClient();
    return d.pipeHandles[index];
}

} // extern "C"
