// FirmwareImage: the header reader, its read pattern and its sharing.
#include "../../FirmwareFile.h"
#include "../../fakes/TempFile.h"
#include "update/FirmwareImage.h"

#include <gtest/gtest.h>

#include <atomic>
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

// A firmware "file" served through a pipe that holds exactly `bytes` and stays open: a reader
// that asked for one byte more would wait for ever. Wine does not enforce byte-range locks, so
// this is how the tests see how far the reader reads. Reading from a pipe works; the final
// rewind does not, so open() ends with 0 there.
class ExactPipe {
public:
    explicit ExactPipe(const Bytes& bytes) {
        static int counter = 0;
        path = L"\\\\.\\pipe\\kelvo-image-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter++);
        server = CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                  65536, 0, 0, nullptr);
        writer = std::thread([this, bytes] {
            ConnectNamedPipe(server, nullptr);
            DWORD written = 0;
            WriteFile(server, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        });
    }
    ~ExactPipe() {
        writer.join();
        CloseHandle(server);
    }

    // Runs open() on the pipe; false when it would have read beyond the bytes served.
    bool openReadsNoMore(FirmwareImage& image) {
        std::atomic<bool> done{false};
        std::thread reader([&] {
            image.open(path);
            done = true;
        });
        for (int i = 0; i < 1000 && !done; ++i)
            Sleep(10);
        const bool stayedWithin = done;
        if (!done) {
            writer.join();
            writer = std::thread([] {});
            DisconnectNamedPipe(server); // ends the blocked read
        }
        reader.join();
        return stayedWithin;
    }

    std::wstring path;

private:
    HANDLE server;
    std::thread writer;
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

TEST(FirmwareImage, HeaderOfEightHasNoNotes) {
    TempFile file(header(8, "", Bytes(100, 'x')));
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("", image.getNotes());
    EXPECT_EQ(0x123456u, image.getTargetSerial());
}

TEST(FirmwareImage, HeaderOf255TakesNotesWithoutNulUpToTheFieldEnd) {
    const std::string notes(247, 'n');
    TempFile file(header(255, notes, Bytes(4096, 'D')));
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ(notes, image.getNotes());
}

TEST(FirmwareImage, AsksForNothingBeyondTheHeader) {
    for (std::uint8_t size : {255, 9, 8}) {
        ExactPipe pipe(header(size, std::string(size - 8u, 'n')));
        FirmwareImage image;
        EXPECT_TRUE(pipe.openReadsNoMore(image)) << "header size " << int(size);
    }
}

TEST(FirmwareImage, NotesEndAtTheFirstNul) {
    TempFile file(header(16, std::string("ab\ncd\0zz", 8)));
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("ab\ncd", image.getNotes());
}

TEST(FirmwareImage, CrLfNotesAreKeptAsTheyAre) {
    TempFile file(header(14, "a\r\nb\0\0"));
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("a\r\nb", image.getNotes());
}

TEST(FirmwareImage, NotesCutShortByTheEndOfTheFile) {
    TempFile file(header(40, "abc"));
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("abc", image.getNotes());
}

TEST(FirmwareImage, HeaderSizeBelowEightGivesResetValuesAndStillOpens) {
    for (std::uint8_t size : {0, 7}) {
        TempFile file(header(size, "notes", Bytes(50, 'x')));
        FirmwareImage image;
        EXPECT_EQ(1, image.open(file.path())) << int(size);
        expectResetValues(image);
        // Nothing after the first four bytes is read.
        ExactPipe pipe(Bytes{size, 0x12, 0x34, 0x56});
        FirmwareImage piped;
        EXPECT_TRUE(pipe.openReadsNoMore(piped)) << int(size);
    }
}

TEST(FirmwareImage, FileShorterThanEightBytes) {
    const Bytes full = header(12, "abcd");
    for (long length : {0, 1, 3, 4, 7}) {
        TempFile file(Bytes(full.begin(), full.begin() + length));
        FirmwareImage image;
        EXPECT_EQ(1, image.open(file.path())) << length;
        expectResetValues(image);
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

TEST(FirmwareImage, FileErrorWhileReadingGivesZeroAndResetValues) {
    // The header reads from the pipe, the rewind fails: a file error inside open.
    ExactPipe pipe(header(12, "abcd"));
    FirmwareImage image;
    ASSERT_TRUE(pipe.openReadsNoMore(image));
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
    ASSERT_EQ(1, image.open(file.path()));
    image.close();
    expectResetValues(image);
    EXPECT_FALSE(image.isOpened());
    EXPECT_EQ(1, image.open(file.path())); // may open again after close
}

TEST(FirmwareImage, CloseOnAnImageThatNeverOpenedOnlyResets) {
    FirmwareImage image;
    image.close();
    expectResetValues(image);
    EXPECT_FALSE(image.isOpened());
}

TEST(FirmwareImage, OthersMayReadButNotWriteWhileTheImageHoldsTheFile) {
    TempFile file(header(11, "one"));
    FirmwareImage image;
    ASSERT_EQ(1, image.open(file.path()));
    HANDLE writer =
        CreateFileW(file.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    HANDLE reader =
        CreateFileW(file.path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, reader);
    CloseHandle(reader);
}

TEST(FirmwareImage, FileWrittenByAnotherProgramCannotBeOpened) {
    TempFile file(header(11, "one"));
    HANDLE writer =
        CreateFileW(file.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    FirmwareImage image;
    EXPECT_EQ(0, image.open(file.path()));
    CloseHandle(writer);
}

TEST(FirmwareImage, PathOutsideCodePage932) {
    TempFile file(header(11, "one"), L"-\u00e9\u0394\u263a.dat");
    FirmwareImage image;
    EXPECT_EQ(1, image.open(file.path()));
    EXPECT_EQ("one", image.getNotes());
}

} // namespace
