// The clock of the device layer and of the wait for another copy: the millisecond tick count
// and the sleep.
//
// Product code calls these instead of GetTickCount and Sleep so that tests can drive time by
// hand; the program links Clock.cpp (the real functions), unit tests a manual clock.
#pragma once

#include <windows.h>

namespace platform {

// Milliseconds since system start, wrapping at 2^32; compare in unsigned 32-bit arithmetic.
DWORD tickCount();

// Gives up the processor for about `milliseconds`.
void sleep(DWORD milliseconds);

} // namespace platform
