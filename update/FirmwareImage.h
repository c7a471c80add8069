// FirmwareImage: reads the header of a firmware file.
//
// open(path) holds the file open (others may read but not write it) and fills targetSerial,
// revision and notes; it returns 1 also for a header too short to hold them (reset values),
// and 0 when the file can't be opened or read. Only the header is read.
#pragma once

#include "base/File.h"
#include "update/FirmwareRevision.h"

#include <cstdint>
#include <string>

class FirmwareImage {
public:
    static constexpr unsigned minimumHeaderSize = 8;

    FirmwareImage();
    FirmwareImage(const FirmwareImage&) = delete;
    FirmwareImage& operator=(const FirmwareImage&) = delete;
    virtual ~FirmwareImage();

    virtual int open(const std::wstring& path);
    virtual void close();

    const FirmwareRevision& getRevision() const { return revision; }
    std::uint32_t getTargetSerial() const { return targetSerial; }
    const std::string& getNotes() const { return notes; } // code page 932
    bool isOpened() const { return opened; }

private:
    void setResetValues();
    void readHeader();

    File file;
    FirmwareRevision revision;
    std::uint32_t targetSerial;
    std::string notes;
    bool opened = false;
};
