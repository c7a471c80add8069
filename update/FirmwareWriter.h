// FirmwareWriter: sends a firmware file to the device.
//
// sendFile(path) reads the whole file into one buffer and hands it to sendData: request 0xB3,
// the command block announcing the length, then the data on the data pipe. A file error gives
// -1 and goes to the handler the program chose (the dialog shows the standard file-error box).
#pragma once

#include "base/File.h"
#include "update/UpdaterDevice.h"

#include <functional>
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

    // Called on the thread of sendFile, which waits for it, with each file error; none by
    // default.
    using FileErrorHandler = std::function<void(const FileException&)>;
    void setFileErrorHandler(FileErrorHandler handler) { fileErrorHandler = std::move(handler); }

private:
    FileErrorHandler fileErrorHandler;
};
