// Handle: owns one Win32 kernel handle (file, mutex, pipe end, event, process) and closes it
// once, when it goes or is reset. The program, the simulator and the tests all own their handles
// with it.
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
