// UpdateDialog run modally from its template, driven from inside its message loop: the
// button states of each step, the log lines and font, the worker and the timer, the session's
// end and the taskbar.
#include "ui/UpdateDialog.h"

#include "DialogScript.h"
#include "FreshFakes.h"
#include "base/TextConversion.h"
#include "fakes/FailingAllocation.h"
#include "res/resource.h"
#include "support/EditWindow.h"
#include "support/FirmwareFile.h"
#include "support/TempFile.h"
#include "support/Texts.h"
#include "support/UiDriver.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using support::statesOf;
using support::Step;
namespace text = support::text;

const std::wstring connectedLines =
    text::connected + text::serialLine(L"0012abcd") + text::revisionLine(L"Rev.1.2b");

// The buttons of `step` reached without a file: Open still shown, Update never shown.
support::ButtonStates withoutFile(Step step) {
    support::ButtonStates states = statesOf(step);
    states.open = {true, true};
    states.update.visible = false;
    return states;
}

// A firmware file: header for `serial`, revision 2.0 with `suffix`, `notes`, 200 bytes of data.
std::vector<std::uint8_t> firmware(std::uint32_t serial, char suffix, const std::string& notes) {
    const std::uint8_t revision[4] = {2, 0, static_cast<std::uint8_t>(suffix), 0};
    return firmwareFile(8 + notes.size() + 200, serial, revision, notes);
}

class UpdateDialogTest : private FreshFakes, public ::testing::Test {
protected:
    UpdateDialogTest() {
        driver().replies[0xB1] = 1;          // high speed
        driver().replies[0xB5] = 0xFF12ABCD; // serial 12abcd, top byte set
        driver().replies[0xB6] = 0x00620201; // Rev.1.2b
    }
    FakeDriver& driver() { return FakeDriver::get(); }
    HWND dlg() const { return dialog.handle(); }
    support::MainDialog main() const { return support::MainDialog(dialog.handle()); }
    HWND item(int id) const { return main().control(id); }
    std::wstring log() const { return main().log(); }
    support::ButtonStates buttons() const { return main().buttons(); }
    bool focused(int id) const { return main().focus() == item(id); }
    bool finished() const { return main().button(support::idFinish).visible; }

    void click(int id) const {
        SendMessageW(dlg(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(item(id)));
    }
    // For buttons whose handler opens a nested modal loop.
    void postClick(int id) const {
        PostMessageW(dlg(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(item(id)));
    }
    // Taskbar progress `states`, each on the dialog's own button.
    std::vector<TaskbarProgress> onDialog(std::vector<TBPFLAG> states) const {
        std::vector<TaskbarProgress> progress;
        for (TBPFLAG state : states)
            progress.emplace_back(dlg(), state);
        return progress;
    }
    // What the shell sends once the dialog's taskbar button exists.
    void taskbarButtonCreated() const {
        SendMessageW(dlg(), RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    }
    // Windows asks whether the session may end.
    bool agreesToEndTheSession() const {
        return SendMessageW(dlg(), WM_QUERYENDSESSION, 0, 0) != 0;
    }
    // Asks, and then the session goes on (another program said no), as Windows tells it.
    bool sessionMayEnd() const {
        const bool agreed = agreesToEndTheSession();
        SendMessageW(dlg(), WM_ENDSESSION, FALSE, 0);
        return agreed;
    }

    HFONT logFontHandle() const {
        return reinterpret_cast<HFONT>(SendMessageW(item(IDC_LOG), WM_GETFONT, 0, 0));
    }
    // The log's font as "face height".
    std::wstring logFont() const {
        LOGFONTW font = {};
        GetObjectW(logFontHandle(), sizeof font, &font);
        return std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight);
    }

    HWND fileDialog() const { return support::findFileDialog(GetCurrentProcessId(), dlg()); }
    // The names in the file dialog's file type box (cmb1), each followed by "|", and the
    // selected one.
    static std::wstring fileTypes(HWND files) {
        std::wstring types;
        const HWND box = GetDlgItem(files, cmb1);
        const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t name[64] = {};
            if (SendMessageW(box, CB_GETLBTEXTLEN, i, 0) < 64)
                SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            types += std::wstring(name) + L"|";
        }
        return types + L"selected " + std::to_wstring(SendMessageW(box, CB_GETCURSEL, 0, 0));
    }

    // Steps that click Open and answer the file dialog with `path` (empty: cancel it).
    std::vector<DialogScript::Step> openFile(const std::wstring& path) {
        return {act([this] { postClick(IDC_OPEN); }), waitFor([this, path] {
                    HWND files = fileDialog();
                    if (files == nullptr)
                        return false;
                    // The file types, the firmware files' preselected.
                    EXPECT_EQ(L"Firmware Files (*.dat)|All Files (*.*)|selected 0",
                              fileTypes(files));
                    EXPECT_TRUE(path.empty() ? support::pressButton(files, IDCANCEL)
                                             : support::answerFileDialog(files, path));
                    return true;
                }),
                waitFor([this] { return fileDialog() == nullptr; })};
    }

    static std::vector<DialogScript::Step>
    join(std::vector<std::vector<DialogScript::Step>> parts) {
        std::vector<DialogScript::Step> steps;
        for (auto& part : parts)
            steps.insert(steps.end(), part.begin(), part.end());
        return steps;
    }

    std::vector<HWND> aboutOwners; // the owner of each about box shown
    UpdateDialog dialog{[this](HWND owner) { aboutOwners.push_back(owner); }};
};

TEST_F(UpdateDialogTest, ConnectStepThenConnectLeadsToTheOpenStep) {
    FakeDpi::get().answer = 144; // the dialog's monitor, the screen at 96
    const INT_PTR result = DialogScript::run(
        dialog,
        {act([this] {
             EXPECT_EQ(statesOf(Step::connect), buttons());
             EXPECT_TRUE(focused(IDC_CONNECT));
             EXPECT_EQ(L"", log());
             EXPECT_NE(nullptr,
                       reinterpret_cast<HICON>(SendMessageW(dlg(), WM_GETICON, ICON_BIG, 0)));
             EXPECT_NE(nullptr,
                       reinterpret_cast<HICON>(SendMessageW(dlg(), WM_GETICON, ICON_SMALL, 0)));
             // The log's own font: 10.5 points of ＭＳ ゴシック at its monitor's resolution.
             EXPECT_EQ(toWide("ＭＳ ゴシック -21"), logFont());
             EXPECT_EQ(std::vector<HWND>{item(IDC_LOG)}, FakeDpi::get().asked);
             // The system menu ends with a separator and the about entry; choosing it shows
             // the about box over the dialog.
             const HMENU menu = GetSystemMenu(dlg(), FALSE);
             const int last = GetMenuItemCount(menu) - 1;
             wchar_t entry[64] = {};
             GetMenuStringW(menu, last, entry, 64, MF_BYPOSITION);
             ASSERT_EQ("Kelvo のﾊﾞｰｼﾞｮﾝ情報(&A)...", toCodePage932BestFit(entry));
             EXPECT_NE(0u, GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR);
             SendMessageW(dlg(), WM_SYSCOMMAND, GetMenuItemID(menu, last), 0);
             EXPECT_EQ(std::vector<HWND>{dlg()}, aboutOwners);
         }),
         act([this] {
             // Screen readers call the log, which has no label, "ログ".
             EXPECT_EQ((std::vector<std::pair<HWND, std::wstring>>{{item(IDC_LOG), L"ログ"}}),
                       FakeAccessibility::get().names);
             main().postKey(VK_RETURN); // Enter presses Connect
         }),
         waitFor([this] { return !log().empty(); }), act([this] {
             EXPECT_EQ(connectedLines, log());
             EXPECT_EQ(statesOf(Step::open), buttons());
             EXPECT_TRUE(focused(IDC_OPEN));
         }),
         act([this] { click(IDCANCEL); })});
    EXPECT_EQ(IDCANCEL, result);
}

// Out of memory right after the device opened, before its lines are in the log: the standard
// box, the device let go and Connect still offered, which then works.
TEST_F(UpdateDialogTest, OutOfMemoryWhileConnectingLetsTheDeviceGo) {
    driver().starveAfter = "ControlRequest(dev,1,0,0xB6"; // the revision, the last read
    DialogScript::run(dialog, {act([this] {
                          click(IDC_CONNECT);
                          EXPECT_EQ("CloseDevice(dev)", driver().calls.back());
                          EXPECT_EQ(1u, recordedMessageBoxes().size());
                          EXPECT_EQ(statesOf(Step::connect), buttons());
                          driver().starveAfter.clear();
                          click(IDC_CONNECT);
                          EXPECT_EQ(connectedLines, log());
                          EXPECT_EQ(statesOf(Step::open), buttons());
                          click(IDCANCEL);
                      })});
}

TEST_F(UpdateDialogTest, TheLogFontIsRemadeForEveryDpiChange) {
    // As Windows sends it when the dialog moves to a monitor of another scale: the new DPI
    // and the rectangle it suggests for the dialog there.
    auto moveTo = [this](int dpi) {
        RECT suggested = {};
        GetWindowRect(dlg(), &suggested);
        suggested.right = suggested.left + (suggested.right - suggested.left) * dpi / 96;
        suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * dpi / 96;
        SendMessageW(dlg(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    };
    DialogScript::run(dialog, {act([&] {
                          const HFONT first = logFontHandle();
                          moveTo(144);
                          EXPECT_EQ(toWide("ＭＳ ゴシック -21"), logFont());
                          EXPECT_EQ(0u, GetObjectType(first)) << "the old font is deleted";
                          moveTo(96);
                          EXPECT_EQ(toWide("ＭＳ ゴシック -14"), logFont());
                          click(IDCANCEL);
                      })});
}

TEST_F(UpdateDialogTest, OpenChecksTheFileAndLogsItsRevisionAndNotes) {
    TempFile locked(firmware(0x12ABCD, 'b', ""));
    // Another program holds it open without sharing.
    const Handle holder(CreateFileW(locked.path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    TempFile otherDevice(firmware(0x12ABCE, 'b', "x"));
    TempFile forVariant(firmware(0, 'b', "a\n5% fit"));
    const std::wstring refused = text::cannotOpenFile + text::incompatible;
    const INT_PTR result = DialogScript::run(
        dialog, join({{act([this] { click(IDC_CONNECT); })},
                      openFile(L""),
                      {act([this] {
                          EXPECT_EQ(connectedLines, log()) << "a cancelled choice logs nothing";
                          EXPECT_EQ(statesOf(Step::open), buttons());
                      })},
                      openFile(locked.path()),
                      openFile(otherDevice.path()),
                      {act([&] {
                          EXPECT_EQ(connectedLines + refused, log());
                          EXPECT_EQ(statesOf(Step::open), buttons());
                      })},
                      openFile(forVariant.path()),
                      {act([&] {
                           EXPECT_EQ(connectedLines + refused + text::newRevisionLine(L"Rev.2.0b") +
                                         L"a\r\n5% fit\r\n",
                                     log());
                           EXPECT_EQ(statesOf(Step::update), buttons());
                           EXPECT_TRUE(focused(IDC_UPDATE));
                       }),
                       act([this] { click(IDCANCEL); })}}));
    EXPECT_EQ(IDCANCEL, result);
}

const EXECUTION_STATE keepAwake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
// Asked for and given back by one thread.
std::vector<ExecutionRequest> awakeOn(DWORD thread) {
    return {{thread, keepAwake}, {thread, ES_CONTINUOUS}};
}

// What Windows shows beside the dialog while it holds up shutdown; then taken back.
const std::wstring updatingReason =
    L"ファームウェアを更新しています。終わるまでPCの電源を切らないでください。";
const std::vector<std::wstring> reasonGivenAndTakenBack = {updatingReason, L""};

// Run with the dialog's timer given by Windows, and again refused.
class TimerGivenOrNot : public UpdateDialogTest, public ::testing::WithParamInterface<bool> {
protected:
    TimerGivenOrNot() { FakeTimer::get().refuse = !GetParam(); }
};

TEST_P(TimerGivenOrNot, AWorkerThatCannotStartStillLeadsToFinished) {
    FakeThread::get().mode = FakeThread::refuse;
    const INT_PTR result = DialogScript::run(
        dialog, {act([this] {
                     taskbarButtonCreated();
                     click(IDC_CONNECT);
                     click(IDC_UPDATE);
                 }),
                 waitFor([this] { return finished(); }), act([this] {
                     EXPECT_EQ(withoutFile(Step::finished), buttons());
                     EXPECT_EQ(connectedLines, log()) << "no update lines";
                     EXPECT_TRUE(executionRequests().empty()) << "no worker, nothing to give back";
                     EXPECT_EQ(onDialog({TBPF_INDETERMINATE, TBPF_ERROR}), taskbarStates());
                     click(IDOK);
                 })});
    EXPECT_EQ(IDOK, result);
}

TEST_P(TimerGivenOrNot, ASuccessfulUpdateKeepsThePcAwakeOnItsWorkerAndClearsTheTaskbar) {
    TempFile file(firmware(0x12ABCD, 'b', ""));
    driver().replies[0xB2] = 0; // the device is done at once
    const INT_PTR result = DialogScript::run(
        dialog,
        join({{act([this] { click(IDC_CONNECT); })},
              openFile(file.path()),
              {act([this] {
                   EXPECT_TRUE(sessionMayEnd()) << "before the update";
                   click(IDC_UPDATE);
                   taskbarButtonCreated(); // late: the button still gets the state
               }),
               waitFor([this] { return finished(); }), act([this] {
                   EXPECT_NE(std::wstring::npos, log().find(text::succeeded));
                   EXPECT_EQ(statesOf(Step::finished), buttons());
                   // Update had the focus: Finish takes it, and Enter ends the dialog.
                   EXPECT_TRUE(focused(IDOK));
                   // Every line spoken once, in order, from the UI thread, each step's result
                   // as such; the worker's lines too.
                   using platform::AnnouncementKind;
                   const AnnouncementKind line = AnnouncementKind::line;
                   const AnnouncementKind result = AnnouncementKind::stepDone;
                   const std::vector<std::pair<std::wstring, AnnouncementKind>> expected = {
                       {L"ハルモカと接続しました.", line},
                       {L"シリアル番号　　　：0012abcd", line},
                       {L"ファームウェア　　：Rev.1.2b", result},
                       {L"更新ファームウェア：Rev.2.0b", result},
                       {L"ファームウェアを送信しています.", line},
                       {L"ファームウェアの更新に成功しました.", result}};
                   std::vector<std::pair<std::wstring, AnnouncementKind>> spoken;
                   for (const Announcement& said : FakeAccessibility::get().announcements) {
                       spoken.emplace_back(said.text, said.kind);
                       EXPECT_EQ(item(IDC_LOG), said.window);
                       EXPECT_EQ(GetCurrentThreadId(), said.thread);
                   }
                   EXPECT_EQ(expected, spoken);
                   const std::vector<ExecutionRequest>& requests = executionRequests();
                   ASSERT_FALSE(requests.empty());
                   EXPECT_NE(GetCurrentThreadId(), requests[0].first) << "not on the worker";
                   EXPECT_EQ(awakeOn(requests[0].first), requests);
                   EXPECT_EQ(onDialog({TBPF_INDETERMINATE, TBPF_NOPROGRESS}), taskbarStates());
                   EXPECT_TRUE(flashedWindows().empty()) << "the user is in the dialog";
                   EXPECT_TRUE(sessionMayEnd()) << "after the update";
                   EXPECT_EQ(reasonGivenAndTakenBack, shutdownBlockReasons());
                   // Timer 101 was asked to look for the worker's end every 100 ms, and stopped.
                   EXPECT_EQ((std::vector<std::string>{"start 101 100", "stop 101"}),
                             FakeTimer::get().uses);
                   main().postKey(VK_RETURN);
               })}}));
    EXPECT_EQ(IDOK, result);
}

INSTANTIATE_TEST_SUITE_P(UpdateDialogTest, TimerGivenOrNot, ::testing::Bool());

// Once the dialog has agreed to end the session, Windows may end the program at any moment:
// Update starts nothing until WM_ENDSESSION says that the session goes on.
TEST_F(UpdateDialogTest, AfterAgreeingToEndTheSessionUpdateWaitsUntilTheSessionGoesOn) {
    TempFile file(firmware(0x12ABCD, 'b', ""));
    driver().replies[0xB2] = 0;
    FakeThread::get().mode = FakeThread::hold;
    DialogScript::run(dialog, join({{act([this] { click(IDC_CONNECT); })},
                                    openFile(file.path()),
                                    {act([this] {
                                         const std::wstring before = log();
                                         EXPECT_TRUE(agreesToEndTheSession());
                                         click(IDC_UPDATE);
                                         EXPECT_EQ(0, FakeThread::get().starts);
                                         EXPECT_EQ(statesOf(Step::update), buttons());
                                         EXPECT_EQ(before, log());

                                         SendMessageW(dlg(), WM_ENDSESSION, FALSE, 0);
                                         click(IDC_UPDATE);
                                         EXPECT_EQ(1, FakeThread::get().starts);
                                         EXPECT_EQ(statesOf(Step::updating), buttons());
                                         FakeThread::get().runHeld();
                                     }),
                                     waitFor([this] { return finished(); }), act([this] {
                                         EXPECT_NE(std::wstring::npos, log().find(text::succeeded));
                                         click(IDOK);
                                     })}}));
}

TEST_F(UpdateDialogTest, ASessionEndOutsideAnUpdateClosesTheDeviceAndEndsTheDialog) {
    const INT_PTR result = DialogScript::run(dialog, {act([this] {
                                                 click(IDC_CONNECT);
                                                 EXPECT_TRUE(agreesToEndTheSession());
                                                 SendMessageW(dlg(), WM_ENDSESSION, TRUE, 0);
                                             })});
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("CloseDevice(dev)", driver().calls.back());
}

// The worker runs out of memory right after the device reported success, so the success line
// can't be logged: the worker gives the device up, and the dialog still reaches Finished with
// the success on the taskbar. The user is in another window: the button flashes.
TEST_F(UpdateDialogTest, AWorkerOutOfMemoryStillReachesFinishedWithTheDeviceClosed) {
    TempFile file(firmware(0x12ABCD, 'z', "")); // this device's serial, no notes
    driver().replies[0xB2] = 0;
    driver().starveAfter = "ControlRequest(dev,1,0,0xB2";
    const EditWindow elsewhere;
    DialogScript::run(
        dialog,
        join({{act([this] { click(IDC_CONNECT); })},
              openFile(file.path()),
              {act([&] {
                   taskbarButtonCreated();
                   click(IDC_UPDATE); // Update, with the focus, is disabled
                   ShowWindow(elsewhere.handle(), SW_SHOW);
                   SetForegroundWindow(elsewhere.handle());
               }),
               waitFor([this] { return finished(); }), act([this] {
                   EXPECT_EQ(connectedLines + text::newRevisionLine(L"Rev.2.0z") + text::sending,
                             log());
                   // The device still hears that it runs its new firmware (0xB0).
                   EXPECT_EQ(1, driver().countCalls("ControlRequest(dev,0,0,0xB0,"));
                   EXPECT_EQ("CloseDevice(dev)", driver().calls.back());
                   EXPECT_EQ(onDialog({TBPF_INDETERMINATE, TBPF_NOPROGRESS}), taskbarStates());
                   EXPECT_EQ(std::vector<HWND>{dlg()}, flashedWindows());
                   // Back in the dialog, the keys go to Finish.
                   SetForegroundWindow(dlg());
                   EXPECT_TRUE(focused(IDOK));
                   click(IDOK);
               })}}));
}

TEST_F(UpdateDialogTest, WhileTheWorkerRunsEscapeAndCloseDoNotEndTheDialog) {
    // The worker is started but held back: busy must already read as set.
    FakeThread::get().mode = FakeThread::hold;
    FakeAccessibility::get().refuse = true; // a Windows that can't announce
    const INT_PTR result = DialogScript::run(
        dialog, {act([this] {
                     taskbarButtonCreated();
                     click(IDC_CONNECT);
                     click(IDC_UPDATE);
                     SetFocus(item(IDC_LOG)); // the user clicks into the log
                     main().pressEscape();
                     main().postClose();
                     main().postSysCommand(SC_CLOSE);
                     main().postCancelCommand();
                 }),
                 pause(30), // several ticks of the dialog's 100 ms timer
                 act([this] {
                     EXPECT_EQ(withoutFile(Step::updating), buttons());
                     EXPECT_FALSE(sessionMayEnd()) << "shutdown waits for the update";
                     EXPECT_EQ(std::vector<std::wstring>{updatingReason}, shutdownBlockReasons());
                     // The worker now runs; its file is missing (no Open): a file error.
                     FakeThread::get().runHeld();
                     EXPECT_EQ(awakeOn(GetCurrentThreadId()), executionRequests());
                     // The worker has ended, the update timer not yet ticked: another timer's tick
                     // changes nothing.
                     SendMessageW(dlg(), WM_TIMER, 7, 0);
                     EXPECT_EQ(withoutFile(Step::updating), buttons());
                 }),
                 waitFor([this] { return finished(); }), act([this] {
                     EXPECT_EQ(connectedLines + text::sending + text::failed, log());
                     EXPECT_TRUE(focused(IDC_LOG)) << "the focus the user chose stays";
                     ASSERT_EQ(1u, recordedMessageBoxes().size());
                     EXPECT_EQ(dlg(), recordedMessageBoxes()[0].owner)
                         << "the file error over the dialog";
                     EXPECT_EQ(onDialog({TBPF_INDETERMINATE, TBPF_ERROR}), taskbarStates());
                     EXPECT_EQ(reasonGivenAndTakenBack, shutdownBlockReasons());
                     main().postClose();
                 })});
    EXPECT_EQ(IDCANCEL, result);
}

} // namespace
