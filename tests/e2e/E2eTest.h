// ProgramTest: the fixture of the end-to-end tests. Each test gets a folder of its own for the
// simulator's scenario, trace and state files, starts KelvoUpdate.exe against the simulator
// on the shared virtual desktop, and drives it through the UI driver.
//
// 1. writeScenario("verify_ms = held\nrelease_file = release\n"); ASSERT_TRUE(start());
// 2. ASSERT_TRUE(click(idConnect)); ASSERT_TRUE(logBecomes(text::deviceLines));
// 3. ASSERT_TRUE(stepBecomes(Step::open)); ASSERT_TRUE(chooseFile(sample(L"lune-1.3a.dat")));
// 4. A held stage lasts while the test looks and acts; release() ends it.
// 5. The program is ended at the end of every test that leaves it running.
#pragma once

#include "support/ProgramProcess.h"
#include "support/Screenshot.h"
#include "support/SimTrace.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// The end-to-end tests are written in the terms of the test support library.
using namespace support;

// What the test program was told on its command line.
struct Settings {
    std::wstring programPath;      // KelvoUpdate.exe
    std::wstring simulatorPath;    // the simulator, kovusbd.dll
    std::wstring companionPath;    // the DLL the simulator's scenario key `companion` loads
    std::wstring firmwareDir;      // the sample files of scripts/make-firmware.py
    std::wstring workDir;          // one folder per test is made here
    std::wstring shotsDir;         // Linux path for screenshots; empty: none
    unsigned expectedCodePage = 0; // the ANSI code page the run is meant for; 0: any
    std::wstring desktop;          // the virtual desktop every program runs on
};
Settings& settings();

// UTF-16 to UTF-8 for messages, with CR and LF made visible.
std::string printable(const std::wstring& text);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The scenario the simulator reads at every open device (empty: the healthy default).
    void writeScenario(const std::string& text);
    // Ends the scenario's held stages: creates the file `release` that `release_file = release`
    // names.
    void release();
    // Starts KelvoUpdate.exe, or the copy of it at `program`, in `currentFolder` (empty: this
    // program's), with `extra` variables besides those of the simulator's files.
    ::testing::AssertionResult start(const std::wstring& program = L"",
                                     const std::wstring& currentFolder = L"",
                                     const Environment& extra = {});
    // The variables that name this test's scenario, trace and state files to the simulator.
    Environment simulatorEnvironment() const;

    const MainDialog& dialog() const { return main; }
    ProgramProcess& program() { return *process; }
    ::testing::AssertionResult click(int id);

    // Waits until the whole log is exactly `expected`.
    ::testing::AssertionResult logBecomes(const std::wstring& expected);
    // Waits until the five buttons are in the states of `step`.
    ::testing::AssertionResult stepBecomes(Step step);
    // The buttons are in the states of `step` now.
    ::testing::AssertionResult stepIs(Step step);
    // Focus is on control `id` of the main dialog (waits for it to get there).
    ::testing::AssertionResult focusBecomes(int id);

    // Clicks Open and answers the file dialog with `path` (Windows path).
    ::testing::AssertionResult chooseFile(const std::wstring& path);
    // Answers the file dialog that Open brought up with `path`.
    ::testing::AssertionResult answerFileDialogWith(const std::wstring& path);
    // Waits for a message box of the program.
    HWND waitForMessageBox();
    ::testing::AssertionResult programEnds();

    // A sample firmware file, and a path in this test's own folder.
    std::wstring sample(const std::wstring& name) const;
    std::wstring workFile(const std::wstring& name) const;
    // The simulator's trace of this test, as support/SimTrace.h reads it.
    Lines traceLines() const { return readTrace(workFile(L"trace.txt")); }

    // Saves a screenshot of `windows` (the main dialog when empty) as NAME.png.
    void screenshot(const std::wstring& name, std::vector<HWND> windows = {});

private:
    // Polls `condition` until it holds; false at once when the program has ended.
    bool whileRunning(const std::function<bool()>& condition);
    ::testing::AssertionResult failure(const std::string& what) const;

    std::wstring folder;
    std::unique_ptr<ProgramProcess> process;
    MainDialog main;
};

} // namespace e2e
