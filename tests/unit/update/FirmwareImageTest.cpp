// FirmwareImage: the header reader, its read pattern and its sharing (the fields of every kind
// of header: FirmwareImageRandomTest.cpp).
#include "update/FirmwareImage.h"

#include "base/Handle.h"
#include "support/FirmwareFile.h"
#include "support/TempFile.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A header for serial 0x123456, revision 1.2b, with size byte `size`, then `data`.
Bytes header(std::uint8_t size, const std::string& notes, const Bytes& data = {}) {
    Bytes bytes = firmwareFile(8 + notes.size(), 0x123456, {1, 2, 'b', 0}, notes, size);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

void expectResetValues(const FirmwareImage& image) {
    EXPECT_EQ(0xFFFFFFFFu, image.getTargetSerial());
    EXPECT_EQ(0xFF, image.getRevision().major);
    EXPECT_EQ(0xFF, image.getRevision().minor);
    EXPECT_EQ(0xFF, image.getRevision().suffix);
    EXPECT_EQ(0xFF, image.getRevision().reserved);
    EXPECT_EQ("", image.getNotes());
}

// A firmware "file" served through a pipe: `header`, then `data` that the reader must leave
// unread. Wine does not enforce byte-range locks, so this is how the tests see how far the
// reader reads: header and data go in one write, which completes only when no more than the
// pipe's buffer, one byte less than the data, is left unread. Reading from a pipe works; the
// final rewind does not, so open() ends with 0 there.
class DataPipe {
public:
    explicit DataPipe(const Bytes& header, const Bytes& data = Bytes(64, 'D')) : bytes(header) {
        bytes.insert(bytes.end(), data.begin(), data.end());
        static int counter = 0;
        path = L"\\\\.\\pipe\\kelvo-image-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter++);
        server.reset(CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                      PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                      static_cast<DWORD>(data.size() - 1), 0, 0, nullptr));
    }

    // Runs open() on the pipe; false when it read a byte of the data, or never ended.
    bool openLeavesTheData(FirmwareImage& image) {
        const Handle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const Handle readerDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        OVERLAPPED connect = {};
        connect.hEvent = connected.get();
        if (!ConnectNamedPipe(server.get(), &connect) && GetLastError() != ERROR_IO_PENDING) {
            ADD_FAILURE() << "no pipe to serve (error " << GetLastError() << ")";
            return false;
        }
        std::thread reader([&] {
            result = image.open(path);
            SetEvent(readerDone.get());
        });
        const HANDLE either[] = {connected.get(), readerDone.get()};
        OVERLAPPED write = {};
        const Handle written(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        write.hEvent = written.get();
        bool writing = false;
        if (WaitForMultipleObjects(2, either, FALSE, hangGuard) == WAIT_OBJECT_0)
            writing = WriteFile(server.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                nullptr, &write) ||
                      GetLastError() == ERROR_IO_PENDING;
        const bool ended = WaitForSingleObject(readerDone.get(), hangGuard) == WAIT_OBJECT_0;
        if (!ended) {
            ADD_FAILURE() << "open() waits for more than the pipe holds";
            DisconnectNamedPipe(server.get()); // ends the blocked read
        }
        reader.join();
        if (!writing) {
            ADD_FAILURE() << "open() never connected";
            CancelIoEx(server.get(), &connect);
            DWORD none = 0;
            GetOverlappedResult(server.get(), &connect, &none, TRUE);
            return false;
        }
        // Its reader gone, a write still pending fails.
        if (WaitForSingleObject(written.get(), hangGuard) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the write outlives its reader";
            CancelIoEx(server.get(), &write);
        }
        DWORD transferred = 0;
        const bool dataRead = GetOverlappedResult(server.get(), &write, &transferred, TRUE) != 0;
        return ended && !dataRead;
    }

    int result = -1; // what open() returned

private:
    // Longer than open() takes on a slow machine; only a reader that hangs reaches it.
    static constexpr DWORD hangGuard = 60000;

    Bytes bytes;
    std::wstring path;
    Handle server;
};

TEST(FirmwareImage, ExampleHeader) {
    TempFile file({0x0C, 0x12, 0x34, 0x56, 0x01, 0x02, 0x62, 0x00, 0x61, 0x62, 0x63, 0x00, 0xAA});
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ(0x123456u, image.getTargetSerial());
    EXPECT_EQ(1, image.getRevision().major);
    EXPECT_EQ(2, image.getRevision().minor);
    EXPECT_EQ('b', image.getRevision().suffix);
    EXPECT_EQ("abc", image.getNotes());
    EXPECT_TRUE(image.isOpened());
}

// Every header, too short ones included (nothing after the first four bytes is read then).
// On a pipe the final rewind fails: a file error inside open, which gives 0 and reset values.
TEST(FirmwareImage, AsksForNothingBeyondTheHeaderAndAFileErrorGivesZero) {
    for (std::uint8_t size : {255, 9, 8, 7, 0}) {
        DataPipe pipe = size >= 8 ? DataPipe(header(size, std::string(size - 8u, 'n')))
                                  : DataPipe({size, 0x12, 0x34, 0x56}, {1, 2, 'b', 0, 'n'});
        FirmwareImage image;
        EXPECT_TRUE(pipe.openLeavesTheData(image)) << "header size " << int(size);
        EXPECT_EQ(0, pipe.result);
        expectResetValues(image);
        EXPECT_FALSE(image.isOpened());
    }
}

TEST(FirmwareImage, MissingFileIsNotOpened) {
    TempFile file(header(8, ""));
    file.remove();
    FirmwareImage image;
    EXPECT_EQ(0, image.open(file.path()));
    expectResetValues(image);
    EXPECT_FALSE(image.isOpened());
}

TEST(FirmwareImage, SecondOpenIsRefusedAndChangesNothing) {
    TempFile first(header(11, "one"));
    Bytes other = header(11, "two");
    other[1] = 0;
    TempFile second(other);
    FirmwareImage image;
    ASSERT_EQ(1, image.open(first.path()));
    EXPECT_EQ(0, image.open(second.path()));
    EXPECT_EQ("one", image.getNotes());
    EXPECT_EQ(0x123456u, image.getTargetSerial());
}

TEST(FirmwareImage, CloseResetsAndReleasesTheFile) {
    TempFile file(header(11, "one"));
    FirmwareImage image;
    image.close(); // never opened: only resets
    expectResetValues(image);
    ASSERT_EQ(1, image.open(file.path()));
    image.close();
    expectResetValues(image);
    EXPECT_FALSE(image.isOpened());
    EXPECT_EQ(1, image.open(file.path())); // may open again after close
}

TEST(FirmwareImage, OthersMayReadButNotWriteWhileTheImageHoldsTheFile) {
    TempFile file(header(11, "one"));
    FirmwareImage image;
    {
        // Nor is a file that another program writes opened.
        const Handle writer(CreateFileW(file.path().c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
        EXPECT_EQ(0, image.open(file.path()));
    }
    ASSERT_EQ(1, image.open(file.path()));
    const Handle writer(CreateFileW(file.path().c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    EXPECT_FALSE(writer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    const Handle reader(CreateFileW(file.path().c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    EXPECT_TRUE(reader);
}

TEST(FirmwareImage, PathOutsideCodePage932) {
    TempFile file(header(11, "one"), L"-\u00e9\u0394\u263a.dat");
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("one", image.getNotes());
}

} // namespace
