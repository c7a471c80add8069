// Updates that fail: a device that falls back a stage, and a file that is gone by the time of
// Update. Both end in the Finished state with the failure text, and no final request.
#include "E2eTest.h"
#include "Texts.h"

namespace e2e {
namespace {

class FailedUpdate : public ProgramTest {
protected:
    // Connect and open `path`, ending in the Update step.
    void reachUpdateStep(const std::wstring& path) {
        ASSERT_TRUE(start());
        ASSERT_TRUE(click(idConnect));
        ASSERT_TRUE(logBecomes(text::deviceLines));
        ASSERT_TRUE(chooseFile(path));
        ASSERT_TRUE(logBecomes(text::deviceLines + text::sampleLines));
        ASSERT_TRUE(stepBecomes(Step::update));
    }
};

TEST_F(FailedUpdate, DeviceGoingFromUpdatingBackToVerifyingEndsInTheFailureText) {
    // Each stage lasts many status polls, so that none can pass unseen; the last one stays.
    writeScenario("status = 1:100, 2:500, 3:1000, 2\n");
    ASSERT_NO_FATAL_FAILURE(reachUpdateStep(sample(L"lune-1.3a.dat")));

    ASSERT_TRUE(click(idUpdate));
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending + text::verifying +
                           text::updating + text::failed));
    EXPECT_TRUE(requests(traceLines(), 0xB0).empty());

    // Finished after a failure offers the same two ways out.
    ASSERT_TRUE(click(idCancel));
    EXPECT_TRUE(programEnds());
}

TEST_F(FailedUpdate, FileDeletedBetweenOpenAndUpdateShowsTheFileErrorAndFinishes) {
    const std::wstring copy = workFile(L"deleted.dat");
    ASSERT_TRUE(CopyFileW(sample(L"lune-1.3a.dat").c_str(), copy.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(reachUpdateStep(copy));
    ASSERT_TRUE(DeleteFileW(copy.c_str()));

    ASSERT_TRUE(click(idUpdate));
    HWND box = waitForMessageBox();
    ASSERT_TRUE(box) << "no message box for the missing file";
    const std::wstring message = messageBoxText(box);
    std::printf("file error message box: %s\n", printable(message).c_str());
    EXPECT_NE(message.find(L"deleted.dat"), std::wstring::npos) << printable(message);
    EXPECT_TRUE(windowText(box) == text::mainTitle) << printable(windowText(box));
    // The worker waits for the box: the dialog stays in the Updating state meanwhile.
    EXPECT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending));
    EXPECT_TRUE(stepIs(Step::updating));
    screenshot(L"file-error", {dialog().handle(), box});

    ASSERT_TRUE(dismissMessageBox(box));
    ASSERT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending + text::failed));
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(requests(traceLines(), 0xB0).empty());
    EXPECT_TRUE(requests(traceLines(), 0xB3).empty()) << "no transfer may start without the file";

    ASSERT_TRUE(click(idFinish));
    EXPECT_TRUE(programEnds());
}

} // namespace
} // namespace e2e
