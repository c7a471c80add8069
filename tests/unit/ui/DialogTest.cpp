// Dialog: a handler that runs out of memory is reported over the dialog, which goes on; the
// framework's error boxes carry the application's name.
#include "DialogScript.h"
#include "FreshFakes.h"
#include "app/UpdaterApp.h"
#include "base/Handle.h"
#include "framework/Application.h"
#include "framework/ErrorBox.h"
#include "framework/SingleInstance.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <new>

namespace {

constexpr UINT runOutOfMemory = WM_APP;
constexpr UINT countCall = WM_APP + 1;

class StarvedDialog : public Dialog {
public:
    StarvedDialog() : Dialog(IDD_UPDATE, nullptr) {}
    int calls = 0;

protected:
    MessageTable messageTable() const override {
        static const MessageEntry entries[] = {
            messageEntry<&StarvedDialog::onRunOutOfMemory>(runOutOfMemory),
            messageEntry<&StarvedDialog::onCountCall>(countCall),
        };
        return makeMessageTable(entries);
    }

private:
    void onRunOutOfMemory() { throw std::bad_alloc(); }
    void onCountCall() { ++calls; }
};

class NamedApplication : public Application {
public:
    NamedApplication() : Application(L"試験プログラム") {}
    bool initInstance() override { return false; }
};

TEST(DialogTest, OutOfMemoryInAHandlerIsReportedOverTheDialogWhichGoesOn) {
    FreshFakes fakes;
    NamedApplication application;
    StarvedDialog dialog;
    const INT_PTR result = DialogScript::run(
        dialog, {act([&] { SendMessageW(dialog.handle(), runOutOfMemory, 0, 0); }), act([&] {
                     ASSERT_EQ(1u, recordedMessageBoxes().size());
                     const RecordedMessageBox& box = recordedMessageBoxes()[0];
                     EXPECT_EQ(dialog.handle(), box.owner);
                     EXPECT_EQ(L"メモリが不足しています。", box.text);
                     EXPECT_EQ(L"試験プログラム", box.caption);
                     EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.type);
                     SendMessageW(dialog.handle(), countCall, 0, 0);
                     EXPECT_EQ(1, dialog.calls);
                     SendMessageW(dialog.handle(), WM_COMMAND, IDOK, 0);
                 })});
    EXPECT_EQ(IDOK, result);
}

TEST(ErrorBox, AFileErrorIsShownInFrontOfItsOwnerInTheStandardWords) {
    FreshFakes fakes;
    NamedApplication application;
    const FileException error(FileException::fileNotFound, ERROR_FILE_NOT_FOUND, L"C:\\a.dat");
    const HWND owner = GetDesktopWindow();
    showFileError(owner, error);
    ASSERT_EQ(1u, recordedMessageBoxes().size());
    const RecordedMessageBox& box = recordedMessageBoxes()[0];
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(L"ファイル C:\\a.dat が見つかりません。", box.text);
    EXPECT_EQ(L"試験プログラム", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND), box.type);
}

// A second start looks for the first copy's dialog every 50 ms, for exactly its patience.
TEST(SingleInstance, ASecondStartGivesUpOnAFirstCopyThatShowsNoDialogWhenItsPatienceIsOver) {
    FreshFakes fakes;
    EXPECT_FALSE(bringDialogToFront(L"試験プログラム", 2000));
    EXPECT_EQ(std::vector<DWORD>(40, 50), ManualClock::get().sleeps);
    // A dialog that no window owns, with that title, is found at the first look.
    StarvedDialog dialog;
    DialogScript::run(dialog, {act([&] {
                          SetWindowTextW(dialog.handle(), L"試験プログラム");
                          ManualClock::get().sleeps.clear();
                          EXPECT_TRUE(bringDialogToFront(L"試験プログラム", 2000));
                          EXPECT_TRUE(ManualClock::get().sleeps.empty());
                          SendMessageW(dialog.handle(), WM_COMMAND, IDOK, 0);
                      })});
}

// Ends the program's dialog once it shows.
void CALLBACK cancelProgramDialog(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND dialog = FindWindowW(L"#32770", L"QZハルモカLuneファームウェア更新"))
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The program itself: a first copy that shows no dialog (it is ending) is waited for two
// seconds, looking every 50 ms; then this copy starts after all.
TEST(SingleInstance, TheProgramWaitsTwoSecondsForAFirstCopyWithoutADialogThenStarts) {
    FreshFakes fakes;
    const Handle first(CreateMutexW(nullptr, FALSE, L"Local\\KelvoUpdate.QZHarmokaLune"));
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &cancelProgramDialog);
    UpdaterApp program;
    EXPECT_FALSE(program.initInstance());
    KillTimer(nullptr, timer);
    EXPECT_EQ(std::vector<DWORD>(40, 50), ManualClock::get().sleeps);
}

} // namespace
