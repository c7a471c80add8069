// UsbDevice: one connection with the device through kovusbd.dll.
//
// 1. open(513) opens the device, reads its configuration word and opens pipes 0, 1 and 2;
//    close() undoes it. A failed open leaves the connection closed.
// 2. Control requests (0xB0..0xB6) and the 10 ms cache of the three status words.
// 3. Pipe writes in whole packets plus one zero-padded packet, waited for by polling.
// Every failure goes through the virtual reportError before the operation returns, so
// getLastMessage() explains the most recent one. No locks: one thread at a time.
#pragma once

#include "device/UsbError.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>

class UsbDevice {
public:
    static constexpr int pipeCount = 3;
    static constexpr int dataPipe = 1;
    static constexpr int commandPipe = 2;
    static constexpr DWORD bounceBufferSize = 512;
    static constexpr int statusWordCount = 3;
    static constexpr DWORD statusCacheMilliseconds = 10;

    UsbDevice();
    UsbDevice(const UsbDevice&) = delete;
    UsbDevice& operator=(const UsbDevice&) = delete;
    virtual ~UsbDevice();

    // Connection (virtual slot order: destructor, open, close, readStatus0..2, sendControl0/2,
    // reportError).
    virtual int open(int selector);
    virtual int close();

    // 0xB2: status word 0, 1 or 2 through the cache, or USBERR_VENDOR_REQUEST.
    virtual int readStatus0();
    virtual int readStatus1();
    virtual int readStatus2();
    // 0xB3 with index 0 or 2: 0 or USBERR_VENDOR_REQUEST.
    virtual int sendControl0();
    virtual int sendControl2();

    // Records an error: stores code and detail, sets lastMessage from the table of texts. A
    // subclass may give a code a text of its own and store nothing else (UpdaterDevice does,
    // for the codes a user meets: after a refused open, lastErrorCode() is not that code).
    // Throws nothing, so that every failure path goes on to its clean-up: without the memory
    // for its text, lastMessage becomes outOfMemoryMessage.
    virtual void reportError(int code, int detail, int pipeIndex) noexcept;

    // No longer than a string's own buffer (15 bytes in every standard library we build with),
    // so that setting it needs no memory.
    static constexpr char outOfMemoryMessage[] = "Out of memory\r\n";

    void clearError();
    std::string getLastMessage() const { return lastMessage; }
    // The system's text for a Windows error code in code page 932, characters that code page
    // lacks as their ASCII fits (base/TextConversion.h); empty when the system has none.
    static std::string formatSystemError(int code);

    DWORD abortPipe(int index);
    DWORD resetPipe(int index);

    // Control requests without a virtual slot.
    int sendFinal();                 // 0xB0: the device runs its new firmware. 0 / -1
    int sendControl(int index);      // 0xB3: arms a transfer. 0 / USBERR_VENDOR_REQUEST
    int readStatus(int index);       // 0xB2 through the cache
    int querySerial(void* buffer);   // 0xB5: 4 bytes. 0 / -1
    int queryRevision(void* buffer); // 0xB6: 4 bytes. 0 / -1

    // Pipe writes: bytes of `data` sent, or -1 with the code left in lastError.
    int writeCommand(const void* data, DWORD length);
    int writeData(const void* data, DWORD length);

    int lastErrorCode() const { return lastError; }
    int lastErrorDetail() const { return lastDetail; }
    bool isOpened() const { return isOpen != 0; }
    bool isHighSpeed() const { return highSpeed != 0; }
    DWORD getWriteTimeout() const { return writeTimeout; }
    // How long a pending pipe write may last; INFINITE never expires.
    void setWriteTimeout(DWORD milliseconds) { writeTimeout = milliseconds; }

protected:
    // Runs `setText`, which sets lastMessage; out of memory leaves outOfMemoryMessage.
    template <class SetText> void setMessageOrFallback(SetText setText) noexcept {
        try {
            setText();
        } catch (const std::bad_alloc&) {
            lastMessage = outOfMemoryMessage;
        }
    }
    // lastMessage from the table of error texts; may run out of memory.
    void setErrorText(int code, int detail, int pipeIndex);

    int readConfig(DWORD* word); // 0xB1, step 3 of open
    int controlRequest(DWORD direction, DWORD request, DWORD index, DWORD length, void* buffer,
                       int failure);

    int writePadded(int index, const void* data, DWORD length, DWORD packetSize);
    // writePipe that fails, with its report, when the write completes short.
    int writeWhole(int index, const void* data, DWORD length);
    int writePipe(int index, const void* data, DWORD length);
    void clearOverlapped(int index);
    int waitPipe(int index, bool isRead);
    void closePipes();

    HANDLE deviceHandle = INVALID_HANDLE_VALUE;
    int isOpen = 0;
    int highSpeed = 0;
    int lastError = 0;
    int lastDetail = 0;
    std::string lastMessage;
    HANDLE pipeHandles[pipeCount] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE,
                                     INVALID_HANDLE_VALUE};
    OVERLAPPED pipeOverlapped[pipeCount] = {};
    DWORD writeTimeout = INFINITE;
    std::unique_ptr<std::uint8_t[]> bounceBuffer;
    DWORD statusTime[statusWordCount] = {};
    DWORD statusWord[statusWordCount] = {};
};
