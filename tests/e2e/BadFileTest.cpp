// Firmware files that are not what they claim, through Open: a folder or a missing name never
// leaves the file dialog; a file another program holds can't be opened; files empty, cut short
// inside the eight fixed header bytes, or with a header size below 8 are all refused as not for
// this device, and the Open step stays. Then a file with the longest header (255 bytes, notes
// without a NUL) at a path with characters outside code page 932 is taken and updates the
// device whole.
//
// Files that go away, turn into a folder or get locked between Open and Update are in
// FaultTest.cpp.
#include "E2eTest.h"
#include "base/Handle.h"
#include "support/Polling.h"
#include "support/Texts.h"

#include <fstream>

namespace e2e {
namespace {

using Bytes = std::string;

// The header of a file for the simulated device (serial number 0x123456), revision 1.4a.
const Bytes goodHeader("\x08\x12\x34\x56\x01\x04\x61\x00", 8);
const Bytes firmwareData(3000, '\x5A');

// True once every message posted to the file dialog before this call has been handled: the
// text limit of its file name box, set by a message posted behind them, is read back. (Not the
// selection: going into a folder resets that.)
bool postedMessagesHandled(HWND fileDialog) {
    HWND box = nullptr;
    for (HWND child : childWindows(fileDialog))
        if (className(child) == L"Edit" && IsWindowVisible(child))
            box = child;
    if (!box)
        return false;
    const WPARAM limit = 4321;
    PostMessageW(box, EM_SETLIMITTEXT, limit, 0);
    return waitUntil([&] {
        DWORD_PTR current = 0;
        SendMessageTimeoutW(box, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 10000, &current);
        return current == limit;
    });
}

class BadFile : public ProgramTest {
protected:
    std::wstring write(const std::wstring& name, const Bytes& bytes) {
        const std::wstring path = workFile(name);
        std::ofstream(path.c_str(), std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(BadFile, OpenRefusesLockedAndHeaderlessFilesThenTakesTheLongestHeaderFromAnOddPath) {
    writeScenario("verify_ms = 300\nupdate_ms = 300\n");
    std::vector<std::pair<std::wstring, Bytes>> refused = {{L"empty.dat", Bytes()}};
    for (size_t size = 1; size < goodHeader.size(); ++size)
        refused.push_back(
            {L"short-" + std::to_wstring(size) + L".dat", goodHeader.substr(0, size)});
    for (char headerSize = 0; headerSize < 8; ++headerSize) {
        Bytes bytes = goodHeader + firmwareData;
        bytes[0] = headerSize;
        refused.push_back({L"header-size-" + std::to_wstring(headerSize) + L".dat", bytes});
    }

    ASSERT_TRUE(start());
    ASSERT_TRUE(click(idConnect));
    std::wstring log = text::deviceLines;
    ASSERT_TRUE(logBecomes(log));
    // A folder typed into the file dialog: the dialog goes into it and stays open, and the
    // program is told nothing.
    ASSERT_TRUE(click(idOpen));
    HWND fileDialog = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] { return (fileDialog = findFileDialog(program().id(), dialog().handle())); }));
    std::wstring folder = workFile(L"");
    folder.pop_back();
    // The program only reads the file: the dialog offers no "open as read-only" check box.
    const HWND readOnly = GetDlgItem(fileDialog, 0x410); // chx1 of <dlgs.h>
    EXPECT_TRUE(readOnly == nullptr || !IsWindowVisible(readOnly));
    ASSERT_TRUE(answerFileDialog(fileDialog, folder));
    ASSERT_TRUE(postedMessagesHandled(fileDialog));
    EXPECT_TRUE(IsWindow(fileDialog));
    // A name that does not exist: the file dialog says so itself and stays open.
    ASSERT_TRUE(answerFileDialog(fileDialog, workFile(L"missing.dat")));
    HWND notFound = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (notFound = findMessageBox(program().id(), fileDialog)); }))
        << "no box over the file dialog";
    ASSERT_TRUE(pressButton(notFound, IDOK));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(notFound); }));
    ASSERT_TRUE(pressButton(fileDialog, IDCANCEL));
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(fileDialog); }));
    EXPECT_TRUE(dialog().log() == log);
    EXPECT_TRUE(stepIs(Step::open));
    EXPECT_TRUE(focusBecomes(idOpen));

    // A file that another program holds open without sharing can't be read.
    {
        const std::wstring locked = write(L"locked.dat", goodHeader + firmwareData);
        Handle holder(CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        ASSERT_TRUE(chooseFile(locked));
        log += text::cannotOpenFile;
        ASSERT_TRUE(logBecomes(log));
        EXPECT_TRUE(stepIs(Step::open));
    }

    for (const auto& file : refused) {
        SCOPED_TRACE(printable(file.first));
        ASSERT_TRUE(chooseFile(write(file.first, file.second)));
        log += text::incompatible;
        ASSERT_TRUE(logBecomes(log));
        EXPECT_TRUE(stepIs(Step::open));
    }

    // 247 bytes of notes and no NUL: the notes end with the header; the data that follows
    // (letters too) must not show.
    Bytes notes;
    for (int i = 0; i < 247; ++i)
        notes += static_cast<char>('a' + i % 26);
    const Bytes longest = Bytes("\xFF\x00\x00\x00\x01\x04\x61\x00", 8) + notes + firmwareData;
    const std::wstring oddPath = write(L"firmware-\u20AC\uD55C\U0001F600.dat", longest);
    ASSERT_TRUE(chooseFile(oddPath));
    log += text::newRevisionLine(L"Rev.1.4a") + std::wstring(notes.begin(), notes.end()) + L"\r\n";
    ASSERT_TRUE(logBecomes(log));
    ASSERT_TRUE(stepBecomes(Step::update));

    ASSERT_TRUE(click(idUpdate));
    ASSERT_TRUE(stepBecomes(Step::finished));
    EXPECT_TRUE(
        logBecomes(log + text::sending + text::verifying + text::updating + text::succeeded));
    const std::vector<std::string> trace = traceLines();
    const std::string whole = std::to_string(longest.size());
    EXPECT_EQ(linesOf(trace, "data(dev) length=" + whole + " received=" + whole + " ").size(), 1u);
    EXPECT_EQ(requests(trace, 0xB0).size(), 1u);
    EXPECT_TRUE(devicesClosed(trace, 1));
    ASSERT_TRUE(click(idFinish));
    EXPECT_TRUE(programEnds());
}

} // namespace
} // namespace e2e
