// FirmwareWriter: the order of a transfer on the wire, packet sizes, file errors.
#include "update/FirmwareWriter.h"

#include "base/Handle.h"
#include "support/TempFile.h"
#include "unit/device/DeviceFixture.h"

namespace {

class FirmwareWriterTest : public DeviceTest {
protected:
    FirmwareWriterTest() {
        device.setFileErrorHandler(
            [this](const FileException& e) { fileErrors.push_back(e.message()); });
    }

    void open(DWORD configuration) {
        driver().replies[0xB1] = configuration;
        ASSERT_EQ(0, device.open(0x201));
        calls().clear();
        // At the 2 ms pause, note what has reached the two pipes so far.
        clock().onSleep = [this](DWORD ms) {
            if (ms == 2)
                atPause = {pipe(2).bytesAvailable(), pipe(1).bytesAvailable()};
        };
    }
    static Bytes announcedLength(const Bytes& block) {
        return Bytes(block.begin() + 4, block.begin() + 8);
    }

    FirmwareWriter device;
    std::vector<std::wstring> fileErrors; // the words of each error handed to the handler
    std::pair<DWORD, DWORD> atPause{0xFFFF, 0xFFFF};
};

TEST_F(FirmwareWriterTest, TransferOrderOnTheWireAtHighSpeed) {
    open(1);
    const Bytes file = sequence(1000);
    TempFile temp(file);
    // An editor or a sync client may hold the file open for writing, a viewer for reading.
    const Handle writer(CreateFileW(temp.path().c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    const Handle viewer(CreateFileW(temp.path().c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    ASSERT_TRUE(writer && viewer);
    EXPECT_EQ(1000, device.sendFile(temp.path()));

    EXPECT_EQ((Calls{"ControlRequest(dev,0,0,0xB3,0,0,0,null)", "ResetPipe(pipe2)"}), calls());
    EXPECT_EQ(std::vector<DWORD>{2}, clock().sleeps);
    // The command block was on the command pipe, and nothing on the data pipe, at the pause.
    EXPECT_EQ(std::make_pair(DWORD{64}, DWORD{0}), atPause);

    const std::vector<Bytes> commands = pipe(2).readAvailable();
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ((Bytes{0xE8, 0x03, 0, 0}), announcedLength(commands[0]));
    EXPECT_EQ(0xFE, commands[0][0]);
    EXPECT_EQ(0xFE, commands[0][1]);

    const std::vector<Bytes> data = pipe(1).readAvailable();
    ASSERT_EQ(2u, data.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 512), data[0]);
    Bytes tail(file.begin() + 512, file.end());
    tail.resize(512, 0);
    EXPECT_EQ(tail, data[1]);
    EXPECT_TRUE(fileErrors.empty());
}

TEST_F(FirmwareWriterTest, EmptyFileAnnouncesZeroAndWritesOneEmptyPacket) {
    open(1);
    TempFile temp(Bytes{});
    EXPECT_EQ(0, device.sendFile(temp.path()));
    const std::vector<Bytes> commands = pipe(2).readAvailable();
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ((Bytes{0, 0, 0, 0}), announcedLength(commands[0]));
    EXPECT_EQ(std::vector<Bytes>{Bytes()}, pipe(1).readAvailable());
}

TEST_F(FirmwareWriterTest, DeletedFileShowsTheFileErrorAndSendsNothing) {
    open(1);
    TempFile temp(sequence(100));
    temp.remove();
    EXPECT_EQ(-1, device.sendFile(temp.path()));
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(0u, pipe(1).bytesAvailable());
    ASSERT_EQ(1u, fileErrors.size());
    EXPECT_NE(std::wstring::npos, fileErrors[0].find(temp.path()));
    EXPECT_NE(std::wstring::npos, fileErrors[0].find(L"見つかりません"));
}

TEST_F(FirmwareWriterTest, FileTooLargeForOneBufferFailsWithAClearMessage) {
    open(1);
    TempFile temp(Bytes{});
    Handle file(
        CreateFileW(temp.path().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    size.QuadPart = 0x90000000LL; // 2.25 GiB, sparse
    SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file.get()));
    file.reset();
    EXPECT_EQ(-1, device.sendFile(temp.path()));
    EXPECT_TRUE(calls().empty());
    ASSERT_EQ(1u, fileErrors.size());
    EXPECT_NE(std::wstring::npos, fileErrors[0].find(L"メモリが不足"));
}

TEST_F(FirmwareWriterTest, UnwritableCommandBlockReturnsItsCodeWithoutThePause) {
    open(1);
    pipe(2).closeFarEnd();
    const Bytes data = sequence(10);
    EXPECT_EQ(USBERR_WRITE_PIPE, device.sendData(data.data(), 10));
    EXPECT_EQ(writePipeError(2, device.lastErrorDetail()), device.getLastMessage());
    EXPECT_TRUE(clock().sleeps.empty());
    EXPECT_EQ(0u, pipe(1).bytesAvailable());
}

// 30 s plus the data at 16 KiB/s: slow devices get through, a dead one doesn't hang.
TEST_F(FirmwareWriterTest, DataWriteHasAFiniteTimeOutThatGrowsWithTheLength) {
    EXPECT_EQ(30000u, FirmwareWriter::transferTimeout(0));
    EXPECT_EQ(30001u, FirmwareWriter::transferTimeout(1));
    EXPECT_EQ(94000u, FirmwareWriter::transferTimeout(1024 * 1024));
    EXPECT_EQ(542000u, FirmwareWriter::transferTimeout(8 * 1024 * 1024));
    open(1);
    const Bytes data = sequence(1000);
    device.sendData(data.data(), 1000);
    EXPECT_EQ(30062u, device.getWriteTimeout()); // 1000 bytes at 16 KiB/s: 62 ms
}

TEST_F(FirmwareWriterTest, StalledDataPipeEndsThroughTheTimeOut) {
    driver().pipeBufferSize = 4096;
    open(1);
    const Bytes file = sequence(64 * 1024);
    TempFile temp(file);
    const DWORD start = clock().now;
    EXPECT_EQ(-1, device.sendFile(temp.path()));
    EXPECT_EQ(USBERR_WRITE_PIPE, device.lastErrorCode());
    EXPECT_EQ(1460, device.lastErrorDetail());
    // 30 s and 4 s for 64 KiB at 16 KiB/s: given up at the first check after 34000 ms.
    EXPECT_EQ(34001u, clock().now - start - 2); // less the 2 ms pause before the data
    EXPECT_EQ(1, driver().countCalls("AbortPipe(pipe1)"));
}

} // namespace

// What the file-error box says for each error Windows can give while the file is read: a
// Windows error maps to its own words, an unknown one to the general words.
TEST(FileErrorWords, EachWindowsErrorHasItsOwnWords) {
    const std::wstring notFound = L"ファイル a.dat が見つかりません。";
    const std::wstring badPath = L"a.dat のパスは無効です。";
    const std::wstring diskFull = L"ディスクがいっぱいのため、a.dat に書き込めません。";
    const std::wstring hardware = L"a.dat の読み書き中にハードウェアのエラーが発生しました。";
    const std::wstring memory = L"メモリが不足しているため、a.dat を読み込めません。";
    const std::pair<DWORD, std::wstring> rows[] = {
        {ERROR_FILE_NOT_FOUND, notFound},
        {ERROR_PATH_NOT_FOUND, badPath},
        {ERROR_INVALID_NAME, badPath},
        {ERROR_BAD_PATHNAME, badPath},
        {ERROR_INVALID_DRIVE, badPath},
        {ERROR_DIRECTORY, badPath},
        {ERROR_TOO_MANY_OPEN_FILES, L"開いているファイルが多すぎるため、a.dat を開けません。"},
        {ERROR_ACCESS_DENIED, L"a.dat へのアクセスが拒否されました。"},
        {ERROR_SHARING_VIOLATION, L"a.dat は他のプログラムが使用中のため、開けません。"},
        {ERROR_LOCK_VIOLATION, L"a.dat の一部がロックされているため、アクセスできません。"},
        {ERROR_DISK_FULL, diskFull},
        {ERROR_HANDLE_DISK_FULL, diskFull},
        {ERROR_HANDLE_EOF, L"a.dat を最後まで読み込めませんでした。ファイルが途中で変更された"
                           L"可能性があります。"},
        {ERROR_CRC, hardware},
        {ERROR_READ_FAULT, hardware},
        {ERROR_GEN_FAILURE, hardware},
        {ERROR_NOT_ENOUGH_MEMORY, memory},
        {ERROR_OUTOFMEMORY, memory},
        {ERROR_NETNAME_DELETED, L"a.dat へのアクセス中に予期しないエラーが発生しました。"},
    };
    for (const auto& [error, words] : rows) {
        SCOPED_TRACE(error);
        EXPECT_EQ(words, FileException::fromLastError(error, L"a.dat").message());
    }
}
