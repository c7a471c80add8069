// Handle: owns one Win32 kernel handle and closes it once.
#pragma once

#include <windows.h>

#include <utility>

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        std::swap(handle, other.handle);
        return *this;
    }
    ~Handle() {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }

    HANDLE get() const { return handle; }
    explicit operator bool() const { return handle && handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle = nullptr;
};
