// UsbDevice: overlapped writes on the command and data pipes.
#include "device/UsbDevice.h"
#include "platform/Clock.h"
#include "platform/kovusbd.h"

#include <cstring>

namespace {

constexpr DWORD commandPacketSize = 64;
constexpr DWORD fullSpeedPacketSize = 64;
constexpr DWORD highSpeedPacketSize = 512;
// The detail of a write that completed with fewer bytes than asked: the device lost data.
constexpr int shortWriteDetail = ERROR_WRITE_FAULT;

} // namespace

int UsbDevice::writeCommand(const void* data, DWORD length) {
    return writePadded(commandPipe, data, length, commandPacketSize);
}

int UsbDevice::writeData(const void* data, DWORD length) {
    return writePadded(dataPipe, data, length,
                       highSpeed ? highSpeedPacketSize : fullSpeedPacketSize);
}

// The whole packets go out in one write straight from the caller's buffer; only the tail is
// copied, into a zero-filled packet. The padded packet is not sent after a whole-packet part
// that failed or went out short.
int UsbDevice::writePadded(int index, const void* data, DWORD length, DWORD packetSize) {
    const DWORD rest = length % packetSize;
    const DWORD whole = length - rest;
    int sent = 0;
    if (whole != 0 || rest == 0) {
        sent = writeWhole(index, data, whole);
        if (sent < 0 || rest == 0)
            return sent;
    }
    std::memset(bounceBuffer.get(), 0, packetSize);
    std::memcpy(bounceBuffer.get(), static_cast<const std::uint8_t*>(data) + sent, rest);
    const int r = writeWhole(index, bounceBuffer.get(), packetSize);
    if (r < 0)
        return r;
    return sent + static_cast<int>(rest);
}

// A write that completes with fewer bytes than asked lost data on the way: it fails, so that
// neither the rest nor a success follows it.
int UsbDevice::writeWhole(int index, const void* data, DWORD length) {
    const int written = writePipe(index, data, length);
    if (written < 0)
        return written;
    if (static_cast<DWORD>(written) != length) {
        reportError(USBERR_WRITE_PIPE, shortWriteDetail, index);
        return -1;
    }
    return written;
}

int UsbDevice::writePipe(int index, const void* data, DWORD length) {
    clearOverlapped(index);
    DWORD written = 0;
    if (WriteFile(pipeHandles[index], data, length, &written, &pipeOverlapped[index]))
        return static_cast<int>(written);
    return waitPipe(index, false);
}

void UsbDevice::clearOverlapped(int index) {
    pipeOverlapped[index].Offset = 0;
    pipeOverlapped[index].OffsetHigh = 0;
    pipeOverlapped[index].hEvent = nullptr;
}

// Polls the record of a write that WriteFile left pending. On time-out the write is cancelled
// and its completion collected before returning: until then Windows may still touch the
// record and the caller's buffer.
int UsbDevice::waitPipe(int index, bool isRead) {
    const int code = isRead ? USBERR_READ_PIPE : USBERR_WRITE_PIPE;
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        reportError(code, static_cast<int>(error), index);
        return -1;
    }

    OVERLAPPED& overlapped = pipeOverlapped[index];
    const DWORD start = platform::tickCount();
    // Windows sets Internal from STATUS_PENDING to the result when the write completes; the
    // calls in the loop make the compiler read the record afresh each time.
    while (!HasOverlappedIoCompleted(&overlapped)) {
        if (platform::tickCount() - start > writeTimeout) {
            abortPipe(index);
            CancelIo(pipeHandles[index]);
            DWORD ignored = 0;
            GetOverlappedResult(pipeHandles[index], &overlapped, &ignored, TRUE);
            reportError(code, ERROR_TIMEOUT, index);
            return -1;
        }
        platform::sleep(1);
    }

    DWORD count = 0;
    if (GetOverlappedResult(pipeHandles[index], &overlapped, &count, FALSE))
        return static_cast<int>(count);
    reportError(code, static_cast<int>(GetLastError()), index);
    return -1;
}
