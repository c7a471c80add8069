#include "E2eTest.h"

#include "base/TextConversion.h"
#include "support/Polling.h"

#include <filesystem>
#include <fstream>

namespace e2e {

Settings& settings() {
    static Settings value;
    return value;
}

std::string printable(const std::wstring& text) {
    std::wstring shown;
    for (wchar_t c : text) {
        if (c == L'\r')
            shown += L"\\r";
        else if (c == L'\n')
            shown += L"\\n\n";
        else
            shown += c;
    }
    return toUtf8(shown);
}

namespace {

std::wstring wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace

void ProgramTest::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = settings().workDir + L"\\" + wide(info->test_suite_name()) + L"." + wide(info->name());
    // Whatever a run killed half-way left here (a folder in place of a file among them) goes.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(folder), error);
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    writeScenario("");
}

void ProgramTest::TearDown() {
    if (HasFailure() && main.exists())
        std::printf("log at the end:\n%s\n", printable(main.log()).c_str());
    process.reset();
}

void ProgramTest::writeScenario(const std::string& text) {
    std::ofstream(workFile(L"scenario.txt").c_str(), std::ios::binary) << text;
}

void ProgramTest::release() {
    std::ofstream(workFile(L"release").c_str());
}

Environment ProgramTest::simulatorEnvironment() const {
    return {{L"KOVSIM_SCENARIO", workFile(L"scenario.txt")},
            {L"KOVSIM_TRACE", workFile(L"trace.txt")},
            {L"KOVSIM_STATE", workFile(L"state.txt")}};
}

::testing::AssertionResult ProgramTest::start(const std::wstring& program,
                                              const std::wstring& currentFolder,
                                              const Environment& extra) {
    Environment environment = simulatorEnvironment();
    environment.insert(environment.end(), extra.begin(), extra.end());
    process = std::make_unique<ProgramProcess>(program.empty() ? settings().programPath : program,
                                               environment, settings().desktop, L"", currentFolder);
    if (!process->started())
        return ::testing::AssertionFailure()
               << "KelvoUpdate.exe did not start (error " << GetLastError() << ")";
    if (!whileRunning([&] {
            main = findMainDialog(process->id());
            return main && IsWindowVisible(main.handle());
        }))
        return ::testing::AssertionFailure() << "the main dialog did not appear";
    return ::testing::AssertionSuccess();
}

bool ProgramTest::whileRunning(const std::function<bool()>& condition) {
    // A program that has ended reaches no state: stop looking at once.
    bool ended = false;
    bool holds = waitUntil([&] {
        if (condition())
            return true;
        ended = !process->running();
        return ended;
    });
    return holds && !ended;
}

::testing::AssertionResult ProgramTest::failure(const std::string& what) const {
    if (process && !process->running())
        return ::testing::AssertionFailure()
               << what << "\n  the program has ended (exit code " << process->exitCode() << ")";
    return ::testing::AssertionFailure()
           << what << "\n  buttons: " << describe(main.buttons()) << "\n  log:\n"
           << printable(main.log());
}

::testing::AssertionResult ProgramTest::click(int id) {
    if (!main.click(id))
        return failure("button " + std::to_string(id) + " can't be clicked");
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ProgramTest::logBecomes(const std::wstring& expected) {
    if (whileRunning([&] { return main.log() == expected; }))
        return ::testing::AssertionSuccess();
    return failure("the log did not become:\n" + printable(expected));
}

::testing::AssertionResult ProgramTest::stepBecomes(Step step) {
    if (whileRunning([&] { return main.buttons() == statesOf(step); }))
        return ::testing::AssertionSuccess();
    return failure(std::string("the dialog did not reach the ") + nameOf(step) + " (" +
                   describe(statesOf(step)) + ")");
}

::testing::AssertionResult ProgramTest::stepIs(Step step) {
    if (main.buttons() == statesOf(step))
        return ::testing::AssertionSuccess();
    return failure(std::string("the dialog is not in the ") + nameOf(step) + " (" +
                   describe(statesOf(step)) + ")");
}

::testing::AssertionResult ProgramTest::focusBecomes(int id) {
    if (whileRunning([&] { return main.focus() == main.control(id); }))
        return ::testing::AssertionSuccess();
    return failure("the focus did not move to control " + std::to_string(id));
}

::testing::AssertionResult ProgramTest::chooseFile(const std::wstring& path) {
    if (!main.click(idOpen))
        return failure("Open can't be clicked");
    return answerFileDialogWith(path);
}

::testing::AssertionResult ProgramTest::answerFileDialogWith(const std::wstring& path) {
    HWND fileDialog = nullptr;
    if (!whileRunning([&] { return (fileDialog = findFileDialog(process->id(), main.handle())); }))
        return failure("no file dialog appeared");
    if (!answerFileDialog(fileDialog, path))
        return failure("the file dialog did not take the path " + printable(path));
    if (!whileRunning([&] { return !IsWindow(fileDialog); }))
        return failure("the file dialog did not close after OK with " + printable(path));
    return ::testing::AssertionSuccess();
}

HWND ProgramTest::waitForMessageBox() {
    HWND box = nullptr;
    whileRunning([&] { return (box = findMessageBox(process->id())) != nullptr; });
    return box;
}

::testing::AssertionResult ProgramTest::programEnds() {
    if (process->waitForExit(patience))
        return ::testing::AssertionSuccess();
    return failure("the program did not end");
}

std::wstring ProgramTest::sample(const std::wstring& name) const {
    return settings().firmwareDir + L"\\" + name;
}

std::wstring ProgramTest::workFile(const std::wstring& name) const {
    return folder + L"\\" + name;
}

void ProgramTest::screenshot(const std::wstring& name, std::vector<HWND> windows) {
    Screenshots shots(settings().shotsDir);
    if (!shots.enabled())
        return;
    if (windows.empty())
        windows.push_back(main.handle());
    EXPECT_TRUE(shots.save(name, windows)) << "screenshot " << printable(name) << " not saved";
}

} // namespace e2e
