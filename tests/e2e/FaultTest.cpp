// Faults a user meets, through the program: each refusal of Connect the simulator offers, and
// each failure of an update after Update was clicked that the simulator or the file system can
// show (the device's refusals and stalls; the file deleted, replaced by a folder or locked).
// Each is logged with its text and leaves the simulated device closed with all its pipes;
// after refusals Connect works once the device is healthy, and a failed update still reaches
// Finished and ends cleanly.
#include "E2eTest.h"
#include "support/DeviceFaults.h"
#include "support/Texts.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace e2e {
namespace {

class ConnectFault : public ProgramTest {};

TEST_F(ConnectFault, EveryRefusalIsLoggedAndConnectWorksOnceTheDeviceIsHealthy) {
    ASSERT_TRUE(start());
    std::wstring log;
    int opened = 0; // all but a refused open come after the device has opened
    for (const Refusal& refusal : refusals()) {
        if (!duringConnect(refusal.operation))
            continue;
        SCOPED_TRACE(refusal.scenario);
        writeScenario(refusal.scenario);
        ASSERT_TRUE(click(idConnect));
        log += text::fromCodePage932(refusal.logged());
        ASSERT_TRUE(logBecomes(log));
        EXPECT_TRUE(stepIs(Step::connect));
        EXPECT_TRUE(focusBecomes(idConnect));
        opened += refusal.operation != Operation::openDevice;
    }
    EXPECT_TRUE(devicesClosed(traceLines(), opened));

    writeScenario("");
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(log + text::deviceLines));
    ASSERT_TRUE(stepBecomes(Step::open));
    dialog().postClose();
    EXPECT_TRUE(programEnds());
    EXPECT_TRUE(devicesClosed(traceLines(), opened + 1))
        << "the program closes the device as it ends";
}

// The system's text in a refused request's line is code page 932, as every byte of the log is
// read, whatever the system's language: a German umlaut takes its fit in that code page. Its
// placeholder stays as it stands ("%1 e" would be a conversion to printf).
TEST_F(ConnectFault, TheSystemsTextIsLoggedInCodePage932InEveryLanguage) {
    // Wine's text for 107 in the languages of the end-to-end runs.
    const std::map<LANGID, std::string> lines = {
        {LANG_GERMAN, vendorRequestError(107, "Datentrager in Laufwerk %1 einlegen.\r\n")},
        {LANG_JAPANESE, vendorRequestError(107, "ドライブ %1 にディスクを入れてください。\r\n")},
        {LANG_ENGLISH, vendorRequestError(107, "Insert disk for drive %1.\r\n")},
    };
    const auto line = lines.find(PRIMARYLANGID(GetUserDefaultUILanguage()));
    ASSERT_NE(line, lines.end()) << "no line known for language " << GetUserDefaultUILanguage();
    writeScenario("refuse_request = 0xB1:107");
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    EXPECT_TRUE(logBecomes(text::fromCodePage932(line->second)));
}

// What happens to the chosen file after Open.
enum class FileChange { none, deleted, replacedByAFolder, lockedByAnotherProgram };

struct UpdateFaultRow {
    const char* name;
    std::string scenario;
    FileChange change;
    const wchar_t* boxWords; // of the file-error message box; null: no box
    std::wstring logged;     // after the sending line
    size_t finalRequests;    // 0xB0 requests the device saw
};

std::vector<UpdateFaultRow> updateFaults() {
    std::vector<UpdateFaultRow> rows = {
        {"CommandBlockUnwritable", "closed_pipes = 2", FileChange::none, nullptr, text::failed, 0},
        {"DeviceUnpluggedDuringTheTransfer", "unplug_after = 512", FileChange::none, nullptr,
         text::failed, 0},
        // The write waits out its time-out (30 s and a little for the sample file).
        {"DeviceStopsTakingTheData", "stall_after = 512", FileChange::none, nullptr, text::failed,
         0},
        {"UnexpectedStatusAfterTheTransfer", "status = 4", FileChange::none, nullptr, text::failed,
         0},
        {"FileDeleted", "", FileChange::deleted, L"見つかりません", text::failed, 0},
        {"FileReplacedByAFolder", "", FileChange::replacedByAFolder, L"アクセスが拒否されました",
         text::failed, 0},
        {"FileLockedByAnotherProgram", "", FileChange::lockedByAnotherProgram,
         L"他のプログラムが使用中", text::failed, 0},
    };
    // The device's refusals after Update; refusing the final request changes nothing the user
    // sees.
    for (const Refusal& refusal : refusals()) {
        if (refusal.operation == Operation::final)
            rows.push_back(
                {refusal.name, std::string("verify_ms = 500\nupdate_ms = 500\n") + refusal.scenario,
                 FileChange::none, nullptr, text::verifying + text::updating + text::succeeded, 1});
        else if (!duringConnect(refusal.operation))
            rows.push_back(
                {refusal.name, refusal.scenario, FileChange::none, nullptr, text::failed, 0});
    }
    return rows;
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
    if (row.change == FileChange::deleted || row.change == FileChange::replacedByAFolder) {
        ASSERT_TRUE(DeleteFileW(path.c_str()));
    }
    if (row.change == FileChange::replacedByAFolder) {
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
        EXPECT_TRUE(windowText(box) == text::mainTitle) << printable(windowText(box));
        const std::wstring message = messageBoxText(box);
        EXPECT_NE(message.find(row.boxWords), std::wstring::npos) << printable(message);
        EXPECT_NE(message.find(L"firmware.dat"), std::wstring::npos) << printable(message);
        // The worker waits for the box: the dialog stays in the Updating state meanwhile.
        EXPECT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending));
        EXPECT_TRUE(stepIs(Step::updating));
        screenshot(L"file-error-" + std::wstring(row.name, row.name + std::strlen(row.name)),
                   {dialog().handle(), box});
        ASSERT_TRUE(pressButton(box, IDOK));
    }
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending + row.logged));
    const std::vector<std::string> trace = traceLines();
    EXPECT_EQ(requests(trace, 0xB0).size(), row.finalRequests);
    if (row.boxWords) {
        EXPECT_TRUE(requests(trace, 0xB3).empty()) << "no transfer may start without the file";
    }
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
