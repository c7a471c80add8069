// FirmwareImage: the header reader.
#include "update/FirmwareImage.h"

#include <algorithm>
#include <vector>

namespace {

constexpr FirmwareRevision resetRevision = {0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::uint32_t resetSerial = 0xFFFFFFFF;

} // namespace

FirmwareImage::FirmwareImage() : revision(resetRevision), targetSerial(resetSerial) {}

FirmwareImage::~FirmwareImage() = default;

void FirmwareImage::setResetValues() {
    revision = resetRevision;
    targetSerial = resetSerial;
    notes.clear();
}

int FirmwareImage::open(const std::wstring& path) {
    if (opened)
        return 0;
    try {
        // Others may go on reading the file, but nobody may change it while it is held.
        file.open(path, File::shareDenyWrite);
    } catch (const FileException&) {
        return 0;
    }
    try {
        readHeader();
    } catch (const FileException&) {
        file.abort();
        setResetValues();
        return 0;
    }
    return 1;
}

// Reads the 8 fixed bytes and the notes, and nothing of the firmware data. A header too short
// to hold the fixed bytes gives the reset values; the file stays open either way.
void FirmwareImage::readHeader() {
    std::uint8_t fixed[4];
    const DWORD got = file.read(fixed, sizeof fixed);
    const unsigned headerSize = got > 0 ? fixed[0] : 0;
    std::uint8_t rev[4];
    if (got < sizeof fixed || headerSize < minimumHeaderSize ||
        file.read(rev, sizeof rev) < sizeof rev) {
        // Not a header read: `opened` stays false.
        setResetValues();
        file.seekToBegin();
        return;
    }

    targetSerial = static_cast<std::uint32_t>(fixed[1]) << 16 |
                   static_cast<std::uint32_t>(fixed[2]) << 8 | fixed[3];
    revision = FirmwareRevision{rev[0], rev[1], rev[2], rev[3]};

    if (headerSize > minimumHeaderSize) {
        std::vector<char> field(headerSize - minimumHeaderSize);
        const DWORD length = file.read(field.data(), static_cast<DWORD>(field.size()));
        const auto end = field.begin() + static_cast<long>(length);
        notes.assign(field.begin(), std::find(field.begin(), end, '\0'));
    }
    file.seekToBegin();
    opened = true;
}

void FirmwareImage::close() {
    setResetValues();
    if (file.isOpen())
        file.abort();
    opened = false;
}
