// Every way a firmware transfer can fail, driven through FirmwareWriter::sendFile against the
// simulator on an open connection, then closed as the update sequence closes it. Each fault
// gives its result and its text (or its file-error message box); afterwards the device is
// closed with all its pipes, the process holds no file or pipe more than before, and the same
// device object connects and updates again.
//
// Faults of the data pipe in mid-transfer are in FirmwareTransferSimTest.cpp (unplugged) and
// UsbDeviceSimTest.cpp (stalled until the time-out); refused connections in
// RefusalTextsSimTest.cpp.
#include "SimFixture.h"
#include "base/Handle.h"
#include "support/ProcessCounters.h"
#include "update/FirmwareWriter.h"

#include <functional>

namespace {

constexpr int selector = 0x201;
constexpr int fileSize = 3000;
const std::uint8_t newRevision[4] = {1, 2, 'a', 0};

// The file sendFile is given.
enum class FileKind {
    good,
    folder,
    locked,   // held by another program that shares it with nobody
    noLength, // a pipe: it opens like a file but has no length
    shorterThanItsLength,
};

struct Fault {
    const char* name;
    const char* scenario;
    FileKind file;
    int result;
    std::string message;     // lastMessage after the transfer; checked when no box is expected
    const wchar_t* boxWords; // words of the file error handed on, or null for none
    bool reachesTheDevice;   // request 0xB3 was sent
};

std::vector<Fault> faults() {
    const DWORD closed = ERROR_NO_DATA; // a write on a pipe whose device end is gone
    return {
        {"FileIsAFolder", "", FileKind::folder, -1, "", L"アクセスが拒否されました", false},
        {"FileLockedByAnotherProgram", "", FileKind::locked, -1, "", L"他のプログラムが使用中",
         false},
        {"FileWithoutALength", "", FileKind::noLength, -1, "", L"予期しないエラー", false},
        {"FileShorterThanItsLength", "", FileKind::shorterThanItsLength, -1, "",
         L"最後まで読み込めません", false},
        {"ArmingRefused", "refuse_request = 0xB3:31", FileKind::good, USBERR_VENDOR_REQUEST,
         vendorRequestError(31), nullptr, true},
        {"CommandBlockUnwritable", "closed_pipes = 2", FileKind::good, USBERR_WRITE_PIPE,
         writePipeError(2, closed), nullptr, true},
        {"DataWriteRefused", "closed_pipes = 1", FileKind::good, -1, writePipeError(1, closed),
         nullptr, true},
    };
}

class FaultedTransfer : public SimTest, public ::testing::WithParamInterface<Fault> {
protected:
    FaultedTransfer() {
        device.setFileErrorHandler(
            [this](const FileException& e) { fileErrors.push_back(e.message()); });
    }
    std::wstring goodFile() {
        return writeFile(L"firmware.dat", ::firmwareFile(fileSize, 0x123456, newRevision));
    }

    std::wstring prepare(FileKind kind) {
        switch (kind) {
        case FileKind::good:
            return goodFile();
        case FileKind::folder:
            return folder;
        case FileKind::locked: {
            const std::wstring path = goodFile();
            holder.reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            EXPECT_TRUE(holder);
            return path;
        }
        case FileKind::noLength: {
            const std::wstring path =
                L"\\\\.\\pipe\\kelvo-fault-" + std::to_wstring(GetCurrentProcessId());
            holder.reset(CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND,
                                          PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
            EXPECT_TRUE(holder);
            return path;
        }
        case FileKind::shorterThanItsLength:
            // A sysfs file of the host, through Wine's Z: drive: it claims 4096 bytes and
            // yields a handful.
            return L"Z:\\sys\\devices\\system\\cpu\\online";
        }
        return std::wstring();
    }

    // Connects, sends a good file and follows the device to success.
    void updateSucceeds() {
        scenario("stage1_ms = 0\nverify_ms = 0\nupdate_ms = 0\n");
        const std::wstring path = goodFile();
        ASSERT_EQ(0, device.open(selector)) << device.getLastMessage();
        EXPECT_EQ(fileSize, device.sendFile(path));
        EXPECT_EQ(0, followStages(device).back());
        EXPECT_EQ(0, device.close());
    }

    FirmwareWriter device;
    std::vector<std::wstring> fileErrors; // the words of each error the dialog would show
    Handle holder;                        // what keeps the file locked, or the pipe's server end
};

TEST_P(FaultedTransfer, FailsWithItsTextClosesEverythingAndTheDeviceUpdatesAgain) {
    const Fault& fault = GetParam();
    ASSERT_NO_FATAL_FAILURE(updateSucceeds());
    // Files and pipes only: Wine and the runtime make some events and mutexes of their own the
    // first time threads meet on a lock, which the soak shows to be once per process.
    const DWORD files = openHandles().files;
    const std::wstring path = prepare(fault.file);
    if (fault.file == FileKind::shorterThanItsLength &&
        GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no sysfs on this host";
    fileErrors.clear();
    scenario(fault.scenario);

    ASSERT_EQ(0, device.open(selector)) << device.getLastMessage();
    EXPECT_EQ(fault.result, device.sendFile(path));
    if (fault.boxWords) {
        ASSERT_EQ(1u, fileErrors.size());
        EXPECT_NE(std::wstring::npos, fileErrors[0].find(fault.boxWords));
        EXPECT_NE(std::wstring::npos, fileErrors[0].find(path));
    } else {
        EXPECT_TRUE(fileErrors.empty());
        EXPECT_EQ(fault.message, device.getLastMessage());
    }
    EXPECT_EQ(0, device.close());
    holder.reset();

    EXPECT_EQ(fault.reachesTheDevice ? 2u : 1u,
              traceLines("KovControlRequest(dev, 0, 0, 0xB3,").size());
    EXPECT_TRUE(devicesClosed(trace(), 2));
    EXPECT_EQ(files, openHandles().files) << "a file or pipe of the failed transfer is open";

    updateSucceeds();
}

INSTANTIATE_TEST_SUITE_P(Simulator, FaultedTransfer, ::testing::ValuesIn(faults()),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
