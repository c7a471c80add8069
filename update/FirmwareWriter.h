// FirmwareWriter: sends a firmware file to the device.
//
// sendFile(path) reads the whole file into one buffer and hands it to sendData: request 0xB3,
// the command block announcing the length, then the data on the data pipe. File errors are
// shown in the standard file-error message box and give -1.
#pragma once

#include "update/UpdaterDevice.h"

#include <string>

class FirmwareWriter : public UpdaterDevice {
public:
    FirmwareWriter();
    ~FirmwareWriter() override;

    // Bytes sent (0 or more), or a negative value.
    int sendFile(const std::wstring& path);
    int sendData(const void* data, DWORD length);

    // The write time-out for a transfer of `length` bytes: 30 s plus the time the slowest
    // device we accept (16 KiB/s) needs for the data.
    static DWORD transferTimeout(DWORD length);
};
