// FakeDriver: a scriptable stand-in for the six operations of kovusbd.dll, linked into unit
// tests in place of the import library.
//
// Each test resets it, scripts results and last-error codes, then reads `calls`: one line per
// call with its arguments in order, handles shown by name ("dev", "pipe0".."pipe2", "-1").
// Open pipe hands out the near end of a real overlapped TestPipe; the test reads the far end.
// A call can starve its thread of memory for the code that runs after it (starveAfter).
#pragma once

#include "TestPipe.h"

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FakeDriver {
    static FakeDriver& get();
    void reset();

    // Script.
    DWORD openDeviceError = 0;           // nonzero: open device fails with this last error
    DWORD pipeOpenError[3] = {0, 0, 0};  // nonzero: open pipe i fails with this last error
    std::map<DWORD, DWORD> requestError; // request code -> last error of a refusal
    std::map<DWORD, DWORD> replies;      // request code -> 4-byte reply word
    std::deque<DWORD> statusReplies;     // successive replies to 0xB2; else replies[0xB2]
    std::deque<DWORD> statusErrors;      // successive 0xB2 outcomes: 0 = reply, else refused
    DWORD pipeBufferSize = 1 << 20;
    bool nonBlockingPipes = false; // writes that don't fit the buffer complete short
    // A call whose line starts with this leaves its thread without memory until that thread's
    // next call (FailingAllocation.h), e.g. "OpenPipe" or "ControlRequest(dev,1,0,0xB2".
    std::string starveAfter;

    // Record.
    std::vector<std::string> calls;
    std::unique_ptr<TestPipe> pipes[3];
    HANDLE pipeHandles[3] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};

    static HANDLE deviceHandle() { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0xD1)); }
    std::string name(HANDLE handle) const;
    int countCalls(const std::string& prefix) const;
};
