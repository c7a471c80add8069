// The whole way from start to Finished against a healthy simulated device, checking the exact
// log and the five buttons at every step; screenshots of each step. The English-locale run
// repeats this test: the texts read back must be the same, character for character.
#include "E2eTest.h"
#include "support/Texts.h"

namespace e2e {
namespace {

class HappyPath : public ProgramTest {};

TEST_F(HappyPath, ConnectOpenUpdateFinishWithOneFinalRequest) {
    // Verifying lasts until the test has looked at the Updating state.
    writeScenario("verify_ms = held\nrelease_file = release\n");
    ASSERT_TRUE(start());
    EXPECT_TRUE(dialog().title() == text::mainTitle) << printable(dialog().title());
    ASSERT_TRUE(stepIs(Step::connect));
    EXPECT_TRUE(focusBecomes(idConnect));
    screenshot(L"1-connect");

    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::deviceLines));
    ASSERT_TRUE(stepBecomes(Step::open));
    EXPECT_TRUE(focusBecomes(idOpen));
    screenshot(L"2-open");

    ASSERT_TRUE(chooseFile(sample(L"lune-1.3a.dat")));
    ASSERT_TRUE(logBecomes(text::deviceLines + text::sampleLines));
    ASSERT_TRUE(stepBecomes(Step::update));
    EXPECT_TRUE(focusBecomes(idUpdate));
    screenshot(L"3-update");

    ASSERT_TRUE(click(idUpdate));
    const std::wstring sent = text::deviceLines + text::sampleLines + text::sending;
    ASSERT_TRUE(logBecomes(sent + text::verifying));
    EXPECT_TRUE(stepIs(Step::updating));
    screenshot(L"4-updating");
    release();

    ASSERT_TRUE(stepBecomes(Step::finished));
    ASSERT_TRUE(logBecomes(sent + text::verifying + text::updating + text::succeeded));
    screenshot(L"5-finished");
    EXPECT_EQ(requests(traceLines(), 0xB0).size(), 1u);

    ASSERT_TRUE(click(idFinish));
    EXPECT_TRUE(programEnds());
}

// A keyboard user: Enter presses the button of every step; at the end Enter presses Finish,
// Escape cancels, and Tab moves to Cancel, which Space presses. The keys are typed, through
// the system's input queue.
struct EndKeys {
    const char* name;
    std::vector<WORD> keys; // typed at Finished; the focus moves to Cancel before the last
    int focusBeforeLast;
};

void PrintTo(const EndKeys& end, std::ostream* out) {
    *out << end.name;
}

class Keyboard : public ProgramTest, public ::testing::WithParamInterface<EndKeys> {};

TEST_P(Keyboard, EnterAtEveryStepThenTheKeysThatEndTheProgram) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(focusBecomes(idConnect));
    ASSERT_TRUE(dialog().typeKey(VK_RETURN));
    ASSERT_TRUE(logBecomes(text::deviceLines));
    ASSERT_TRUE(focusBecomes(idOpen));
    ASSERT_TRUE(dialog().typeKey(VK_RETURN));
    ASSERT_TRUE(answerFileDialogWith(sample(L"lune-1.3a.dat")));
    ASSERT_TRUE(stepBecomes(Step::update));
    ASSERT_TRUE(focusBecomes(idUpdate));
    ASSERT_TRUE(dialog().typeKey(VK_RETURN));
    ASSERT_TRUE(stepBecomes(Step::finished));
    ASSERT_TRUE(logBecomes(text::deviceLines + text::sampleLines + text::sending + text::verifying +
                           text::updating + text::succeeded));
    ASSERT_TRUE(focusBecomes(idFinish));
    const std::vector<WORD>& keys = GetParam().keys;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        ASSERT_TRUE(dialog().typeKey(keys[i]));
    ASSERT_TRUE(focusBecomes(GetParam().focusBeforeLast));
    ASSERT_TRUE(dialog().typeKey(keys.back()));
    EXPECT_TRUE(programEnds());
}

INSTANTIATE_TEST_SUITE_P(AtFinished, Keyboard,
                         ::testing::Values(EndKeys{"Enter", {VK_RETURN}, idFinish},
                                           EndKeys{"Escape", {VK_ESCAPE}, idFinish},
                                           EndKeys{"TabThenSpace", {VK_TAB, VK_SPACE}, idCancel}),
                         [](const ::testing::TestParamInfo<EndKeys>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace e2e
