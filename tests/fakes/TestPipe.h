// TestPipe: a real overlapped pipe whose far end the test holds.
//
// The near (client) end is what the code under test writes to, exactly like a pipe handle of
// the driver library; the far (server) end is a message-mode named pipe, so every WriteFile
// arrives as one message, a zero-length write included.
#pragma once

#include "base/Handle.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class TestPipe {
public:
    // `bufferSize`: the pipe's buffer; a larger write stays pending until the far end reads.
    // `nonBlocking`: instead, a write that does not fit completes at once, short.
    explicit TestPipe(DWORD bufferSize = 1 << 20, bool nonBlocking = false);
    TestPipe(const TestPipe&) = delete;
    TestPipe& operator=(const TestPipe&) = delete;
    ~TestPipe();

    // The near end, open for overlapped writes. The caller owns it from now on.
    HANDLE takeClient();

    // Bytes waiting in the pipe, not yet read by the far end.
    DWORD bytesAvailable() const;
    // Reads every message that is already waiting.
    std::vector<Bytes> readAvailable();
    // True once the near end has been closed.
    bool nearEndClosed() const;
    // Closes the far end: later writes on the near end fail outright.
    void closeFarEnd();

    // A thread that keeps reading messages, so that writes of any size complete.
    void startDrain();
    std::vector<Bytes> stopDrain();

private:
    bool readOne(Bytes& message);

    Handle server;
    Handle client;
    std::thread drainThread;
    std::mutex drainLock;
    std::vector<Bytes> drained;
    volatile bool draining = false;
};
