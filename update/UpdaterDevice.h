// UpdaterDevice: the connection as the update uses it.
//
// 1. open(0x201) opens the connection and then reads the identity (0xB5 serial, 0xB6
//    revision); a failed read closes the connection again and returns -1.
// 2. The error codes a user may meet get Japanese texts; the rest keep the English ones.
// 3. sendCommand / writeCommandBlock: the 64-byte command block on the command pipe.
#pragma once

#include "device/UsbDevice.h"
#include "update/CommandBlock.h"
#include "update/FirmwareRevision.h"

class UpdaterDevice : public UsbDevice {
public:
    UpdaterDevice();
    ~UpdaterDevice() override;

    int open(int selector) override;
    void reportError(int code, int detail, int pipeIndex) noexcept override;
    // Waits until status word 0 reads 0 or less; USBERR_TIMEOUT (unreported) after `timeout`
    // ms counted from the first read; INFINITE waits for ever.
    virtual int waitForIdle(DWORD timeout);
    // Stores a device status code; a nonzero one becomes lastMessage.
    virtual void setStatusCode(int code);

    int readSerialNumber(); // 0xB5 into identity.serialNumber: 0 / -1
    int readRevision();     // 0xB6 into identity.revision: 0 / -1

    // Builds a command block and writes it. 0 or a negative error code.
    int sendCommand(int command, int subcommand, int parameter, DWORD length,
                    const char* name = nullptr);
    // Resets the command pipe, writes the 64-byte block, pauses 2 ms. 0 or the reported code.
    int writeCommandBlock(const CommandBlock& block);

    const DeviceIdentity& getIdentity() const { return identity; }
    int getStatusCode() const { return statusCode; }

protected:
    // lastMessage in Japanese for the codes a user may meet; may run out of memory.
    void setUserText(int code, int detail, int pipeIndex);

    int statusCode = 0;
    DeviceIdentity identity;
};
