#include "TestPipe.h"

#include <atomic>
#include <string>

namespace {

std::wstring uniquePipeName() {
    static std::atomic<unsigned> counter{0};
    return L"\\\\.\\pipe\\kelvo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
}

} // namespace

TestPipe::TestPipe(DWORD bufferSize, bool nonBlocking) {
    const std::wstring name = uniquePipeName();
    server.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                  PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 0,
                                  bufferSize, 0, nullptr));
    client.reset(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    DWORD mode = PIPE_NOWAIT;
    if (nonBlocking)
        SetNamedPipeHandleState(client.get(), &mode, nullptr, nullptr);
}

TestPipe::~TestPipe() {
    // The drain thread reads the far end: it stops before the handles go.
    if (drainThread.joinable())
        stopDrain();
}

HANDLE TestPipe::takeClient() {
    return client.release();
}

DWORD TestPipe::bytesAvailable() const {
    DWORD available = 0;
    PeekNamedPipe(server.get(), nullptr, 0, nullptr, &available, nullptr);
    return available;
}

bool TestPipe::nearEndClosed() const {
    DWORD available = 0;
    return !PeekNamedPipe(server.get(), nullptr, 0, nullptr, &available, nullptr) &&
           GetLastError() == ERROR_BROKEN_PIPE;
}

void TestPipe::closeFarEnd() {
    if (drainThread.joinable())
        stopDrain();
    server.reset();
}

// One whole message of up to 4 MiB: Wine loses the rest of a message read in pieces.
bool TestPipe::readOne(Bytes& message) {
    message.assign(4 << 20, 0);
    const Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event.get();
    DWORD got = 0;
    BOOL done = ReadFile(server.get(), message.data(), static_cast<DWORD>(message.size()), &got,
                         &overlapped);
    if (!done && GetLastError() == ERROR_IO_PENDING)
        done = GetOverlappedResult(server.get(), &overlapped, &got, TRUE);
    message.resize(got);
    return done != 0;
}

std::vector<Bytes> TestPipe::readAvailable() {
    std::vector<Bytes> messages;
    for (;;) {
        DWORD available = 0, leftInMessage = 0;
        if (!PeekNamedPipe(server.get(), nullptr, 0, nullptr, &available, &leftInMessage))
            break;
        if (available == 0 && leftInMessage == 0) {
            // A zero-length message shows as nothing available; a zero-byte read takes it.
            DWORD got = 0;
            const Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
            OVERLAPPED overlapped = {};
            overlapped.hEvent = event.get();
            std::uint8_t none;
            BOOL done = ReadFile(server.get(), &none, 0, &got, &overlapped);
            if (!done && GetLastError() == ERROR_IO_PENDING) {
                CancelIo(server.get());
                GetOverlappedResult(server.get(), &overlapped, &got, TRUE);
                break;
            }
            if (!done)
                break;
            messages.emplace_back();
            continue;
        }
        Bytes message;
        if (!readOne(message))
            break;
        messages.push_back(std::move(message));
    }
    return messages;
}

void TestPipe::startDrain() {
    draining = true;
    drainThread = std::thread([this] {
        while (draining) {
            DWORD available = 0, left = 0;
            if (!PeekNamedPipe(server.get(), nullptr, 0, nullptr, &available, &left))
                break;
            std::vector<Bytes> messages = readAvailable();
            if (messages.empty()) {
                Sleep(1);
                continue;
            }
            std::lock_guard<std::mutex> guard(drainLock);
            for (Bytes& m : messages)
                drained.push_back(std::move(m));
        }
    });
}

std::vector<Bytes> TestPipe::stopDrain() {
    draining = false;
    if (drainThread.joinable())
        drainThread.join();
    std::vector<Bytes> rest = readAvailable();
    std::lock_guard<std::mutex> guard(drainLock);
    for (Bytes& m : rest)
        drained.push_back(std::move(m));
    return std::move(drained);
}
