// LogEdit on a real edit control: the 32767/32000 trim in code page 932 bytes, the caret and
// scrolling, and appends from two threads at once.
#include "ui/LogEdit.h"

#include "base/TextConversion.h"
#include "support/EditWindow.h"
#include "support/Polling.h"
#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

// `length` bytes of plain ASCII in lines of 80, varied so that a cut in the wrong place
// shows. (Wine's edit control is slow with one very long line.)
std::string asciiText(size_t length, char first = 'a') {
    std::string text(length, ' ');
    for (size_t i = 0; i < length; ++i)
        text[i] = i % 80 == 78 ? '\r' : i % 80 == 79 ? '\n' : static_cast<char>(first + i % 26);
    return text;
}

class LogEditTest : public ::testing::Test {
protected:
    LogEditTest() { log.attach(edit.handle()); }

    // Puts `old` in the window, appends `message`; returns the window's bytes afterwards.
    std::string appendTo(const std::string& old, const std::string& message) {
        SetWindowTextW(edit.handle(), toWide(old).c_str());
        log.appendFormat("%s", message.c_str());
        return windowText();
    }
    // The window's text as code page 932 bytes.
    std::string windowText() const {
        return toCodePage932BestFit(support::windowText(edit.handle()));
    }

    EditWindow edit;
    LogEdit log;
};

TEST_F(LogEditTest, WorkedFiguresOfTheTrim) {
    struct Case {
        size_t oldLength, newLength, kept, total;
    };
    const Case cases[] = {
        {32700, 100, 31967, 32067},  // d = 33
        {32767, 50, 31950, 32000},   // d = 50
        {30000, 5000, 29767, 34767}, // d = 2233
        {31000, 2000, 31000, 33000}, // k = 31767 >= 31000: nothing dropped
        {32000, 767, 32000, 32767},  // exactly 32767: left alone
        {32700, 67, 32700, 32767},   // also with more than 32000 old bytes
        {32000, 768, 31999, 32767},  // one over: the old text keeps its last 31999 bytes
        {100, 32667, 100, 32767},
        {1, 1, 1, 2}, // a log of one byte keeps it
        // From 64767 bytes together only the new message stays; one byte less keeps one.
        {32767, 32000, 0, 32000}, // d = 32000, k = 0
        {24767, 40000, 0, 40000},
        {24766, 40000, 1, 40001},
        // An empty message still trims an overlong text (33000 bytes put there directly).
        {200, 0, 200, 200},
        {33000, 0, 31767, 31767}, // d = 233
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldLength << " + " << c.newLength);
        const std::string old = asciiText(c.oldLength);
        const std::string message = asciiText(c.newLength, 'A');
        const std::string result = appendTo(old, message);
        ASSERT_EQ(c.total, result.size());
        EXPECT_TRUE(old.substr(old.size() - c.kept) + message == result);
    }
}

TEST_F(LogEditTest, LengthsCountCodePage932Bytes) {
    // 16400 ハ are 16400 characters but 32800 bytes: the trim must see the bytes.
    std::string old;
    for (int i = 0; i < 16400; ++i)
        old += "ハ";
    const std::string result = appendTo(old, "wxyz"); // d = 37, k = 31963: an odd cut
    ASSERT_EQ(31963u + 4u, result.size());
    // The cut falls between the two bytes of ハ (83 6E): a lone trail byte starts the log.
    EXPECT_EQ('\x6E', result[0]);
    EXPECT_EQ("\x83\x6E", result.substr(1, 2));
    EXPECT_EQ("wxyz", result.substr(result.size() - 4));
}

TEST_F(LogEditTest, ALoneLeadByteAtTheEndOfALineKeepsTheLineEnd) {
    // Characters whose second bytes are the first and last of their ranges (40, 7E, 80, FC)
    // stay whole; notes whose last byte begins a character (83): the next line still starts on
    // a line of its own.
    log.appendFormat("%s\r\n", "　×÷◯");
    log.appendFormat("%s\r\n", "a\x83");
    log.appendFormat("b\r\n");
    const std::wstring shown = support::windowText(edit.handle());
    ASSERT_EQ(13u, shown.size()) << "a, one character for the lone byte, CR LF, b, CR LF";
    EXPECT_EQ(L"　×÷◯\r\na", shown.substr(0, 7));
    EXPECT_EQ(L"\r\nb\r\n", shown.substr(8));
    // Nor do the bytes just past the trail ranges go with a lead byte (7F, FD).
    log.clear();
    log.appendFormat("%s", "\x83\x7F\x83\xFD");
    EXPECT_EQ(4u, support::windowText(edit.handle()).size());
}

TEST_F(LogEditTest, TheCaretEndsAfterTheNewestTextWhichIsScrolledIntoView) {
    for (int i = 0; i < 60; ++i)
        log.appendFormat("line %d\r\n", i);
    const std::string text = windowText();
    DWORD start = 0, end = 0;
    SendMessageW(edit.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(text.size(), start);
    EXPECT_EQ(text.size(), end);
    EXPECT_GT(SendMessageW(edit.handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 40);
}

TEST_F(LogEditTest, FormatsPrintfStyleAndAddsNoLineEnd) {
    log.appendFormat("%s %d", "a", 42);
    log.appendFormat("%%\r\n");
    EXPECT_EQ("a 42%\r\n", windowText());
    log.clear();
    EXPECT_EQ("", windowText());
}

TEST_F(LogEditTest, TwoWorkersAppendingAtOnceLoseNothing) {
    constexpr int linesPerWorker = 150;
    std::atomic<int> started{0}, finished{0};
    auto worker = [&](char name) {
        // Neither appends before both are running, so that their appends overlap.
        ++started;
        while (started < 2)
            std::this_thread::yield();
        for (int i = 0; i < linesPerWorker; ++i)
            log.appendFormat("worker %c line %03d ........................\r\n", name, i);
        ++finished;
    };
    // The window belongs to this thread: it serves the workers' window operations meanwhile.
    std::thread first(worker, 'A');
    std::thread second(worker, 'B');
    const DWORD start = GetTickCount();
    while (finished < 2 && GetTickCount() - start < support::patience) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    if (finished < 2) {
        // Hung workers can't be joined: end the run rather than wait for ever.
        ADD_FAILURE() << "the workers hang";
        std::abort();
    }
    first.join();
    second.join();

    const std::string text = windowText();
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(std::string::npos, end) << "a message without its line end";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(2u * linesPerWorker, lines.size());
    int next[2] = {0, 0};
    for (const std::string& line : lines) {
        char name = 0;
        int number = -1;
        ASSERT_EQ(2, std::sscanf(line.c_str(), "worker %c line %d", &name, &number)) << line;
        ASSERT_TRUE(name == 'A' || name == 'B') << line;
        EXPECT_EQ(next[name - 'A']++, number) << "each worker's lines in its own order";
        EXPECT_EQ(std::string("worker ") + name + " line " + line.substr(14, 3) +
                      " ........................",
                  line);
    }
}

} // namespace
