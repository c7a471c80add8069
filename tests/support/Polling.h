// Waiting by polling: the driver only ever looks at the program from outside, so every wait is
// "look again until it holds". The time-out is generous and exists only so that a program that
// never reaches the state fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>

namespace support {

// Long enough for a slow machine under load; only a broken program ever reaches it.
constexpr DWORD patience = 60000;
constexpr DWORD pollInterval = 20;

// Polls `condition` until it is true (returns true) or `timeout` ms have passed (false).
inline bool waitUntil(const std::function<bool()>& condition, DWORD timeout = patience) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeout)
            return false;
        Sleep(pollInterval);
    }
}

} // namespace support
