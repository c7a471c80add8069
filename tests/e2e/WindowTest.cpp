// The window around the steps: the about box of the system menu, the session refusing to end
// while the update runs, a second copy of the program (the first comes to the front, minimised or
// behind another window), and the locale the run is meant for.
#include "E2eTest.h"
#include "base/Handle.h"
#include "res/resource.h"
#include "support/EditWindow.h"
#include "support/Polling.h"
#include "support/Texts.h"

namespace e2e {
namespace {

class AboutBox : public ProgramTest {
protected:
    HWND waitForAboutBox() {
        HWND box = nullptr;
        waitUntil([&] { return (box = findDialogByTitle(program().id(), text::aboutTitle)); });
        return box;
    }
};

TEST_F(AboutBox, OpensFromTheSystemMenuAndClosesWithOk) {
    ASSERT_TRUE(start());
    dialog().postSysCommand(IDM_ABOUTBOX);
    HWND box = waitForAboutBox();
    ASSERT_TRUE(box) << "no about box titled " << printable(text::aboutTitle);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog().handle());
    // Modal: the main dialog takes no input while the box is shown.
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(dialog().handle()); }));
    screenshot(L"6-about", {dialog().handle(), box});

    ASSERT_TRUE(pressButton(box, IDOK));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); })) << "OK did not close the about box";
    EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(dialog().handle()) != 0; }));
    EXPECT_TRUE(stepIs(Step::connect));
    EXPECT_TRUE(dialog().log().empty());

    // Windows keeps its own flags in the low four bits of a system command.
    dialog().postSysCommand(0x001F);
    box = waitForAboutBox();
    ASSERT_TRUE(box) << "system command 0x1F did not open the about box";
    ASSERT_TRUE(PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(program().running());

    // The Cancel command, as the dialog manager sends it for Escape, ends the main dialog.
    dialog().postCancelCommand();
    EXPECT_TRUE(programEnds());
}

// Ends the session of the test desktop as Wine does it: wineboot sends WM_QUERYENDSESSION to
// the windows of each process on its desktop, then WM_ENDSESSION with the answer, and ends a
// process that agreed. Its exit code is 0 when every process agreed, 1 when one refused.
DWORD endSession() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    ProgramProcess wineboot(std::wstring(system) + L"\\wineboot.exe", {}, settings().desktop,
                            L"--end-session --shutdown");
    if (!wineboot.waitForExit(patience))
        return STILL_ACTIVE;
    return wineboot.exitCode();
}

class Busy : public ProgramTest {};

TEST_F(Busy, SessionEndWaitsForTheUpdateAndEndsTheProgramAfterIt) {
    // Verifying lasts until release().
    writeScenario("verify_ms = held\nrelease_file = release\n");
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::deviceLines));
    ASSERT_TRUE(chooseFile(sample(L"lune-1.3a.dat")));
    ASSERT_TRUE(stepBecomes(Step::update));
    ASSERT_TRUE(click(idUpdate));
    const std::wstring verifying =
        text::deviceLines + text::sampleLines + text::sending + text::verifying;
    ASSERT_TRUE(logBecomes(verifying));

    EXPECT_EQ(1u, endSession()) << "the session ended during the update";
    EXPECT_TRUE(program().running());

    release();
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(logBecomes(verifying + text::updating + text::succeeded));
    EXPECT_EQ(requests(traceLines(), 0xB0).size(), 1u);

    EXPECT_EQ(0u, endSession()) << "the finished program held the session";
    EXPECT_TRUE(programEnds());
    EXPECT_TRUE(devicesClosed(traceLines(), 1));
}

// One device per PC, so one copy per session: a second start brings the running copy's dialog
// to the front, restored if minimised, and ends by itself without opening the device.
class SecondCopy : public ProgramTest {};

TEST_F(SecondCopy, BringsTheFirstToTheFrontAndEnds) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::deviceLines));
    ASSERT_TRUE(stepBecomes(Step::open));
    const HWND first = dialog().handle();
    // Minimised from this process; asked again should Wine drop the request (seen under load).
    ASSERT_TRUE(waitUntil([&] {
        if (!IsIconic(first))
            ShowWindow(first, SW_MINIMIZE);
        return IsIconic(first) != FALSE;
    }));

    ProgramProcess second(settings().programPath, simulatorEnvironment(), settings().desktop);
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.waitForExit(patience)) << "the second copy did not end by itself";
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(first) && GetForegroundWindow() == first; }))
        << "the first copy did not come to the front";
    int dialogs = 0;
    for (HWND window : topLevelWindows())
        dialogs += className(window) == L"#32770" && windowText(window) == text::mainTitle;
    EXPECT_EQ(1, dialogs);
    EXPECT_TRUE(dialog().log() == text::deviceLines);
    EXPECT_TRUE(stepIs(Step::open));

    // Not minimised but behind another window: a further start brings it to the front too.
    const EditWindow elsewhere;
    ShowWindow(elsewhere.handle(), SW_SHOW);
    ASSERT_TRUE(waitUntil([&] {
        SetForegroundWindow(elsewhere.handle());
        return GetForegroundWindow() == elsewhere.handle();
    }));
    ProgramProcess third(settings().programPath, simulatorEnvironment(), settings().desktop);
    ASSERT_TRUE(third.started());
    EXPECT_TRUE(third.waitForExit(patience)) << "the third copy did not end by itself";
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == first; }))
        << "the first copy did not come in front of the other window";

    dialog().postClose();
    EXPECT_TRUE(programEnds());
    EXPECT_TRUE(devicesClosed(traceLines(), 1));
}

// A copy that holds the name but shows no dialog (it is ending, or hangs in its driver's
// close): a new start waits for it a little, then starts all the same.
TEST_F(SecondCopy, StartsAfterAllWhenTheCopyHoldingTheNameShowsNoDialog) {
    const Handle ending(CreateMutexW(nullptr, FALSE, L"Local\\KelvoUpdate.QZHarmokaLune"));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError()) << "the name is taken already";
    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    EXPECT_TRUE(logBecomes(text::deviceLines));
    dialog().postClose();
    EXPECT_TRUE(programEnds());
}

TEST(Locale, RunsUnderTheCodePageItIsMeantFor) {
    if (settings().expectedCodePage == 0)
        GTEST_SKIP() << "no code page asked for";
    EXPECT_EQ(GetACP(), settings().expectedCodePage)
        << "the locale of this run is not installed (see scripts/setup.sh)";
}

} // namespace
} // namespace e2e
