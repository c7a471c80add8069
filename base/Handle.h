// Handle: owns one Win32 kernel handle (file, mutex, pipe end, event, process, thread) and
// closes it once, when it goes or is reset. The program's files, mutex and single instance, the
// simulator, the tests, the benchmarks and the tools own their handles with it. Two of the
// program's handles are closed by hand where they are made: UsbDevice's pipe handles, plain
// fields that its open and close set and close in the device's own order, and a worker thread's
// handle, which platform/Thread.cpp (below this layer) closes as soon as the thread runs.
#pragma once

#include <windows.h>

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Handle() { reset(); }

    HANDLE get() const { return handle; }
    // Creation functions fail with either null or INVALID_HANDLE_VALUE.
    explicit operator bool() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE owned = handle;
        handle = INVALID_HANDLE_VALUE;
        return owned;
    }
    void reset(HANDLE replacement = INVALID_HANDLE_VALUE) {
        if (*this)
            CloseHandle(handle);
        handle = replacement;
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};
