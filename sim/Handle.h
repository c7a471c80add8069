// UniqueHandle: owns one Win32 handle (pipe end, event) and closes it once.
#pragma once

#include <windows.h>

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return handle; }
    // Creation functions fail with either null or INVALID_HANDLE_VALUE.
    bool valid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE owned = handle;
        handle = INVALID_HANDLE_VALUE;
        return owned;
    }
    void reset(HANDLE replacement = INVALID_HANDLE_VALUE) {
        if (valid())
            CloseHandle(handle);
        handle = replacement;
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};
