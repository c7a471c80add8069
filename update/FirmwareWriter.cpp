// FirmwareWriter: the transfer of a whole firmware file.
#include "update/FirmwareWriter.h"

#include "base/File.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace {

// A device that writes its flash while it receives may take the data slowly; any device that
// takes at least 16 KiB/s gets through, while a dead one still ends the write (1 MiB: 94 s,
// 8 MiB: 9 min 2 s).
constexpr DWORD timeoutMargin = 30000; // ms for the device to start reading
constexpr std::uint64_t slowestRate = std::uint64_t{16} * 1024; // bytes per second

// Reads the whole file into `buffer`. A file that yields fewer bytes than its measured length
// fails as a file error: a short read must never leave unread bytes to be sent.
void readWholeFile(File& file, std::vector<std::uint8_t>& buffer) {
    DWORD total = 0;
    const DWORD length = static_cast<DWORD>(buffer.size());
    while (total < length) {
        const DWORD got = file.read(buffer.data() + total, length - total);
        if (got == 0)
            throw FileException(FileException::endOfFile, ERROR_HANDLE_EOF, file.getPath());
        total += got;
    }
}

} // namespace

FirmwareWriter::FirmwareWriter() = default;

FirmwareWriter::~FirmwareWriter() = default;

DWORD FirmwareWriter::transferTimeout(DWORD length) {
    const std::uint64_t dataTime = (std::uint64_t{length} * 1000 + slowestRate - 1) / slowestRate;
    return static_cast<DWORD>(timeoutMargin + dataTime);
}

int FirmwareWriter::sendData(const void* data, DWORD length) {
    // A device that stops reading must not hang the update for ever.
    setWriteTimeout(transferTimeout(length));
    int result = sendControl0();
    if (result != 0)
        return result;
    result = sendCommand(CommandBlock::firmwareCommand, CommandBlock::firmwareCommand, 0, length);
    if (result != 0)
        return result;
    return writeData(data, length);
}

int FirmwareWriter::sendFile(const std::wstring& path) {
    File file;
    try {
        file.open(path, File::shareDenyNone);
        const ULONGLONG length = file.getLength();
        if (length > std::numeric_limits<DWORD>::max() / 2)
            throw FileException(FileException::outOfMemory, ERROR_NOT_ENOUGH_MEMORY, path);

        std::vector<std::uint8_t> buffer;
        try {
            buffer.resize(static_cast<size_t>(length));
        } catch (const std::bad_alloc&) {
            throw FileException(FileException::outOfMemory, ERROR_NOT_ENOUGH_MEMORY, path);
        }
        readWholeFile(file, buffer);

        static const std::uint8_t none = 0;
        const int result =
            sendData(buffer.empty() ? &none : buffer.data(), static_cast<DWORD>(buffer.size()));
        file.close();
        return result;
    } catch (const FileException& error) {
        file.abort();
        if (fileErrorHandler)
            fileErrorHandler(error);
        return -1;
    }
}
