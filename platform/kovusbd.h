// The six operations of the closed USB driver library kovusbd.dll.
//
// The program imports them by ordinal (kovusbd.def); only UsbDevice calls them. Every function
// uses the Win32 calling convention and 32-bit arguments and results. On each failure it
// reports (-1 or 0), the library leaves the reason in the thread's last-error code: read
// GetLastError at once. The simulator in sim/ and the unit-test fake implement the same table.
#pragma once

#include <windows.h>

extern "C" {

// Ordinal 1. Opens the device chosen by `selector` (the program passes 513). Returns the device
// handle, or INVALID_HANDLE_VALUE. The handle goes only back to this library, never CloseHandle.
HANDLE WINAPI KovOpenDevice(DWORD selector);

// Ordinal 3. Closes a device handle. The result is ignored by every caller.
DWORD WINAPI KovCloseDevice(HANDLE device);

// Ordinal 6. Vendor control request. `direction` 1 = device to host with a `length`-byte data
// stage into `buffer`; 0 = host to device without one (`length` 0, `buffer` null). `zero` and
// `value` are always 0. May block for the duration of the request. Returns nonzero when done.
BOOL WINAPI KovControlRequest(HANDLE device, DWORD direction, DWORD zero, DWORD request,
                              DWORD value, DWORD index, DWORD length, void* buffer);

// Ordinal 8. Resets a pipe. The result is ignored by every caller.
DWORD WINAPI KovResetPipe(HANDLE pipe);

// Ordinal 13. Aborts the transfers in progress on a pipe. The result is ignored by every caller.
DWORD WINAPI KovAbortPipe(HANDLE pipe);

// Ordinal 14. Opens pipe `index` (0, 1 or 2) of an open device. Returns a Windows file handle
// open for overlapped I/O (WriteFile, GetOverlappedResult, CancelIo, CloseHandle), or
// INVALID_HANDLE_VALUE.
HANDLE WINAPI KovOpenPipe(HANDLE device, DWORD zero, DWORD index);
}
