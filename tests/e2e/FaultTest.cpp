// The faults a user meets, through the program: every way Connect can be refused, and every
// way an update can fail after Update was clicked. Each is logged with its text, leaves the
// simulated device closed with all its pipes, and leaves the program usable: Connect works
// once the device is healthy, a failed update still reaches Finished and ends cleanly.
//
// Also failing updates, in UpdateFailureTest.cpp: a stage that comes back, a file deleted
// between Open and Update.
#include "DeviceClosed.h"
#include "E2eTest.h"
#include "SimTrace.h"
#include "Texts.h"

#include <algorithm>
#include <map>

namespace e2e {
namespace {

// The system's text for a Windows error code, as the device layer quotes it.
std::wstring systemText(DWORD code) {
    wchar_t text[4096] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, 4096, nullptr);
    return text;
}

std::wstring vendorText(DWORD code) {
    return L"Vendor request error. Code == " + std::to_wstring(code) + L": " + systemText(code);
}

std::wstring pipeText(int pipe, DWORD code) {
    return L"Fail to open pipe #" + std::to_wstring(pipe) + L". Code = " + std::to_wstring(code) +
           L": " + systemText(code);
}

class ConnectFault : public ProgramTest {};

TEST_F(ConnectFault, EveryRefusalIsLoggedAndConnectWorksOnceTheDeviceIsHealthy) {
    struct Refusal {
        const char* scenario;
        std::wstring logged;
    };
    const Refusal refusals[] = {
        {"refuse_open = 55", text::connectFailed},
        {"refuse_request = 0xB1:31", vendorText(31)},
        {"refuse_pipe = 0:5", pipeText(0, 5)},
        {"refuse_pipe = 1:31", pipeText(1, 31)},
        {"refuse_pipe = 2:1167", pipeText(2, 1167)},
        {"refuse_request = 0xB5:31", vendorText(31)},
        {"refuse_request = 0xB6:1167", vendorText(1167)},
    };
    ASSERT_TRUE(start());
    std::wstring log;
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.scenario);
        writeScenario(refusal.scenario);
        ASSERT_TRUE(click(idConnect));
        log += refusal.logged;
        ASSERT_TRUE(logBecomes(log));
        EXPECT_TRUE(stepIs(Step::connect));
    }
    // All but the first refusal came after the device had opened.
    EXPECT_TRUE(devicesClosed(traceLines(), 6));

    writeScenario("");
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(log + text::deviceLines));
    ASSERT_TRUE(stepBecomes(Step::open));
    dialog().postClose();
    EXPECT_TRUE(programEnds());
    EXPECT_TRUE(devicesClosed(traceLines(), 7)) << "the program closes the device as it ends";
}

// The system's text in a refused request's line is code page 932, as every byte of the log is
// read, whatever the system's language: a German umlaut takes its fit in that code page.
TEST_F(ConnectFault, TheSystemsTextIsLoggedInCodePage932InEveryLanguage) {
    // Wine's text for 87 in the languages of the end-to-end runs.
    const std::map<LANGID, std::wstring> lines = {
        {LANG_GERMAN, L"Vendor request error. Code == 87: Ungultiger Parameter.\r\n"},
        {LANG_JAPANESE, L"Vendor request error. Code == 87: パラメーターは正しくありません。\r\n"},
        {LANG_ENGLISH, L"Vendor request error. Code == 87: Invalid parameter.\r\n"},
    };
    const auto line = lines.find(PRIMARYLANGID(GetUserDefaultUILanguage()));
    ASSERT_NE(line, lines.end()) << "no line known for language " << GetUserDefaultUILanguage();
    writeScenario("refuse_request = 0xB1:87");
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    EXPECT_TRUE(logBecomes(line->second));
}

// What happens to the chosen file after Open.
enum class FileChange { none, replacedByAFolder, lockedByAnotherProgram };

struct UpdateFaultRow {
    const char* name;
    const char* scenario;
    FileChange change;
    const wchar_t* boxWords; // of the file-error message box; null: no box
    std::wstring logged;     // after the sending line
    int finalRequests;       // 0xB0 requests the device saw
};

std::vector<UpdateFaultRow> updateFaults() {
    return {
        {"ArmingRefused", "refuse_request = 0xB3:31", FileChange::none, nullptr, text::failed, 0},
        {"CommandBlockUnwritable", "closed_pipes = 2", FileChange::none, nullptr, text::failed, 0},
        {"DeviceUnpluggedDuringTheTransfer", "unplug_after = 512", FileChange::none, nullptr,
         text::failed, 0},
        // The write waits out its time-out (30 s and a little for the sample file).
        {"DeviceStopsTakingTheData", "stall_after = 512", FileChange::none, nullptr, text::failed,
         0},
        {"UnexpectedStatusAfterTheTransfer", "status = 4", FileChange::none, nullptr, text::failed,
         0},
        {"StatusCannotBeRead", "refuse_request = 0xB2:31", FileChange::none, nullptr, text::failed,
         0},
        // The device refusing the final request changes nothing the user sees.
        {"FinalRequestRefused", "verify_ms = 500\nupdate_ms = 500\nrefuse_request = 0xB0:31",
         FileChange::none, nullptr, text::verifying + text::updating + text::succeeded, 1},
        {"FileReplacedByAFolder", "", FileChange::replacedByAFolder, L"アクセスが拒否されました",
         text::failed, 0},
        {"FileLockedByAnotherProgram", "", FileChange::lockedByAnotherProgram,
         L"他のプログラムが使用中", text::failed, 0},
    };
}

class UpdateFault : public ProgramTest, public ::testing::WithParamInterface<UpdateFaultRow> {};

TEST_P(UpdateFault, IsLoggedClosesTheDeviceAndFinishes) {
    const UpdateFaultRow& row = GetParam();
    writeScenario(row.scenario);
    // The folder of a parameterized test has the slashes of its name; the file dialog takes
    // only backslashes.
    std::wstring path = workFile(L"firmware.dat");
    std::replace(path.begin(), path.end(), L'/', L'\\');
    ASSERT_TRUE(CopyFileW(sample(L"lune-1.3a.dat").c_str(), path.c_str(), FALSE));
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::deviceLines));
    ASSERT_TRUE(chooseFile(path));
    ASSERT_TRUE(stepBecomes(Step::update));

    Handle holder;
    if (row.change == FileChange::replacedByAFolder) {
        ASSERT_TRUE(DeleteFileW(path.c_str()));
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    } else if (row.change == FileChange::lockedByAnotherProgram) {
        holder = Handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
    }
    ASSERT_TRUE(click(idUpdate));
    if (row.boxWords) {
        HWND box = waitForMessageBox();
        ASSERT_TRUE(box) << "no file-error message box";
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog().handle()) << "it could hide behind the dialog";
        const std::wstring message = messageBoxText(box);
        EXPECT_NE(message.find(row.boxWords), std::wstring::npos) << printable(message);
        EXPECT_NE(message.find(L"firmware.dat"), std::wstring::npos) << printable(message);
        ASSERT_TRUE(dismissMessageBox(box));
    }
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending + row.logged));
    const std::vector<std::string> trace = traceLines();
    EXPECT_EQ(countRequests(trace, 0xB0), row.finalRequests);
    EXPECT_TRUE(devicesClosed(trace, 1));

    ASSERT_TRUE(click(idFinish));
    ASSERT_TRUE(programEnds());
    EXPECT_EQ(program().exitCode(), 0u);
    if (row.change == FileChange::replacedByAFolder)
        RemoveDirectoryW(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Simulator, UpdateFault, ::testing::ValuesIn(updateFaults()),
                         [](const ::testing::TestParamInfo<UpdateFaultRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace e2e
