#include "sim/PipeServer.h"

#include "sim/Crc32.h"

#include <algorithm>
#include <atomic>
#include <system_error>

using namespace wire;

namespace {

constexpr size_t readChunk = 1 << 20;
// A held data phase waits for bytes in steps of this length and ends at the first step without
// a byte once the release file exists.
constexpr DWORD releasePollMilliseconds = 10;

std::wstring uniquePipeName(DWORD index) {
    static std::atomic<unsigned> counter{0};
    return L"\\\\.\\pipe\\kovsim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++) + L"-" + std::to_wstring(index);
}

std::string hexBytes(const std::uint8_t* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

// How the data phase of a transfer ended.
enum class DataEnd { complete, timedOut, broken, closed, unplugged };

const char* dataEndText(DataEnd end) {
    switch (end) {
    case DataEnd::complete:
        return "complete";
    case DataEnd::timedOut:
        return "timed-out";
    case DataEnd::broken:
        return "broken";
    case DataEnd::closed:
        return "closed";
    default:
        return "unplugged";
    }
}

const char* blockText(DeviceModel::Block verdict) {
    switch (verdict) {
    case DeviceModel::Block::accepted:
        return "accepted";
    case DeviceModel::Block::rejected:
        return "rejected";
    default:
        return "ignored";
    }
}

} // namespace

PipeServer::PipeServer(DeviceModel& model, const Scenario& scenario, Trace trace, std::string name)
    : model(model), scenario(scenario), trace(std::move(trace)), name(std::move(name)) {}

PipeServer::~PipeServer() {
    stop();
    traceClientsLeftOpen();
}

DWORD PipeServer::start() {
    stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    readEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent || !readEvent)
        return GetLastError();
    for (DWORD i = 0; i < pipeCount; ++i) {
        const std::wstring pipeName = uniquePipeName(i);
        servers[i].reset(CreateNamedPipeW(
            pipeName.c_str(),
            PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0,
            0, nullptr));
        if (!servers[i])
            return GetLastError();
        clients[i].reset(CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OVERLAPPED, nullptr));
        if (!clients[i])
            return GetLastError();
    }
    // A device end closed from the start: every write on the pipe fails at once.
    for (DWORD index : scenario.closedPipes)
        servers[index].reset();
    try {
        thread = std::thread(&PipeServer::run, this);
    } catch (const std::system_error&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    return 0;
}

void PipeServer::stop() {
    if (!thread.joinable())
        return;
    SetEvent(stopEvent.get());
    thread.join();
}

// A caller closes the pipes before it closes the device. A device end whose client end is still
// open can be peeked; once the client end is closed, peeking fails with ERROR_BROKEN_PIPE.
void PipeServer::traceClientsLeftOpen() const {
    std::lock_guard<std::mutex> guard(clientLock);
    std::string open;
    for (DWORD i = 0; i < pipeCount; ++i) {
        DWORD available = 0;
        if (handed[i] != nullptr && servers[i] &&
            PeekNamedPipe(servers[i].get(), nullptr, 0, nullptr, &available, nullptr))
            open += (open.empty() ? "" : " ") + std::to_string(i);
    }
    if (!open.empty())
        trace.write("pipes-left-open(%s) %s", name.c_str(), open.c_str());
}

DWORD PipeServer::takeClient(DWORD index, HANDLE& client) {
    std::lock_guard<std::mutex> guard(clientLock);
    if (!clients[index])
        return ERROR_BUSY;
    handed[index] = clients[index].release();
    client = handed[index];
    return 0;
}

bool PipeServer::handedOut(HANDLE client) const {
    if (client == nullptr || client == INVALID_HANDLE_VALUE)
        return false;
    std::lock_guard<std::mutex> guard(clientLock);
    return std::find(std::begin(handed), std::end(handed), client) != std::end(handed);
}

// The device thread: command blocks on pipe 2, each accepted one followed by its data on
// pipe 1, until the device is closed, unplugged or the caller closes pipe 2.
void PipeServer::run() {
    std::vector<std::uint8_t> buffer(readChunk);
    std::uint8_t block[commandBlockSize];
    while (readFully(commandPipe, block, commandBlockSize) == Read::done) {
        std::uint32_t length = 0;
        const DeviceModel::Block verdict = model.commandBlock(block, length);
        trace.write("block(%s) %s %s", name.c_str(), hexBytes(block, sizeof block).c_str(),
                    blockText(verdict));
        if (verdict == DeviceModel::Block::accepted && !receiveData(length, buffer))
            break;
    }
    WaitForSingleObject(stopEvent.get(), INFINITE);
}

// The data of one transfer: `length` bytes in whole packets, the padding of the last packet
// dropped. The transfer also ends when no data comes for the scenario's time-out (held: once
// the release file exists) or the caller closes the pipe. False when the device was closed or
// unplugged meanwhile.
bool PipeServer::receiveData(std::uint32_t length, std::vector<std::uint8_t>& buffer) {
    const std::uint64_t packet = scenario.highSpeed ? highSpeedPacket : fullSpeedPacket;
    const std::uint64_t expected = (std::uint64_t{length} + packet - 1) / packet * packet;
    Crc32 crc;
    std::uint8_t header[DeviceModel::headerSize] = {};
    std::uint64_t received = 0; // padding included
    DataEnd end = DataEnd::complete;
    const bool held = scenario.dataTimeoutMilliseconds == Scenario::held;
    const DWORD timeout = held ? releasePollMilliseconds : scenario.dataTimeoutMilliseconds;
    while (received < expected) {
        if (scenario.unplugAfter && received >= *scenario.unplugAfter) {
            unplug();
            end = DataEnd::unplugged;
            break;
        }
        if (scenario.stallAfter && received >= *scenario.stallAfter) {
            trace.write("stall(%s) after=%llu", name.c_str(),
                        static_cast<unsigned long long>(received));
            WaitForSingleObject(stopEvent.get(), INFINITE);
            end = DataEnd::closed;
            break;
        }
        std::uint64_t want = std::min<std::uint64_t>(expected - received, buffer.size());
        for (const std::optional<std::uint64_t>& limit :
             {scenario.unplugAfter, scenario.stallAfter})
            if (limit)
                want = std::min(want, *limit - received);

        DWORD got = 0;
        const Read read =
            readSome(dataPipe, buffer.data(), static_cast<DWORD>(want), got, timeout, held);
        if (received < length) {
            const std::uint64_t data = std::min<std::uint64_t>(got, length - received);
            crc.update(buffer.data(), static_cast<size_t>(data));
            for (std::uint64_t i = received; i < DeviceModel::headerSize && i < received + data;
                 ++i)
                header[i] = buffer[static_cast<size_t>(i - received)];
        }
        received += got;
        if (read != Read::done) {
            end = read == Read::stopped    ? DataEnd::closed
                  : read == Read::timedOut ? DataEnd::timedOut
                                           : DataEnd::broken;
            break;
        }
    }
    const std::uint64_t data = std::min<std::uint64_t>(received, length);
    trace.write("data(%s) length=%u received=%llu padding=%llu crc32=0x%08X %s", name.c_str(),
                static_cast<unsigned>(length), static_cast<unsigned long long>(data),
                static_cast<unsigned long long>(received - data),
                static_cast<unsigned>(crc.value()), dataEndText(end));
    if (end == DataEnd::closed || end == DataEnd::unplugged)
        return false;
    model.transferEnded(length, data, header);
    return true;
}

// One overlapped read of up to `size` bytes, waited for together with the stop event. A read
// that is not done in time (`held`: in time after the release file exists) is cancelled and its
// completion collected before returning.
PipeServer::Read PipeServer::readSome(DWORD index, std::uint8_t* buffer, DWORD size, DWORD& got,
                                      DWORD timeout, bool held) {
    got = 0;
    HANDLE pipe = servers[index].get();
    OVERLAPPED overlapped = {};
    overlapped.hEvent = readEvent.get();
    ResetEvent(readEvent.get());
    if (ReadFile(pipe, buffer, size, &got, &overlapped))
        return Read::done;
    if (GetLastError() != ERROR_IO_PENDING)
        return Read::broken;

    HANDLE events[2] = {stopEvent.get(), readEvent.get()};
    DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeout);
    while (held && woke == WAIT_TIMEOUT && !scenario.released())
        woke = WaitForMultipleObjects(2, events, FALSE, timeout);
    if (woke != WAIT_OBJECT_0 + 1)
        CancelIo(pipe);
    const bool done = GetOverlappedResult(pipe, &overlapped, &got, TRUE) != 0;
    if (woke == WAIT_OBJECT_0)
        return Read::stopped;
    if (done)
        return Read::done;
    return woke == WAIT_TIMEOUT ? Read::timedOut : Read::broken;
}

PipeServer::Read PipeServer::readFully(DWORD index, std::uint8_t* buffer, DWORD size) {
    for (DWORD total = 0; total < size;) {
        DWORD got = 0;
        const Read read = readSome(index, buffer + total, size - total, got, INFINITE);
        if (read != Read::done)
            return read;
        total += got;
    }
    return Read::done;
}

// The device is gone: the model refuses every request, and closing the server ends breaks
// the pipes, which fails the caller's pending and later writes.
void PipeServer::unplug() {
    model.unplug();
    trace.write("unplug(%s)", name.c_str());
    for (Handle& server : servers)
        server.reset();
}
