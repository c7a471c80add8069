// The pure rules of the Connect and Open steps: the identity and revision lines, the notes as
// logged, the about command's mask.
#include "ui/AboutMenu.h"
#include "ui/LogLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(IdentityLines, SerialLineInCodePage932Bytes) {
    // The top byte of the word never shows; three ideographic spaces and a full-width colon.
    const std::vector<std::uint8_t> expected = {
        0x83, 0x56, 0x83, 0x8A, 0x83, 0x41, 0x83, 0x8B, 0x94, 0xD4, 0x8D, 0x86, 0x81, 0x40, 0x81,
        0x40, 0x81, 0x40, 0x81, 0x46, '0',  '0',  '1',  '2',  'a',  'b',  'c',  'd',  '\r', '\n'};
    EXPECT_EQ(expected, bytesOf(serialNumberLine(DeviceIdentity{0xFF12ABCD, {3, 4, 'b', 0}})));
}

TEST(IdentityLines, SerialLineAlwaysHasEightDigits) {
    EXPECT_EQ("シリアル番号　　　：00000001\r\n", serialNumberLine(DeviceIdentity{1, {}}));
    EXPECT_EQ("シリアル番号　　　：00ffffff\r\n", serialNumberLine(DeviceIdentity{0xFFFFFFFF, {}}));
}

TEST(IdentityLines, RevisionLines) {
    const std::vector<std::uint8_t> expected = {
        0x83, 0x74, 0x83, 0x40, 0x81, 0x5B, 0x83, 0x80, 0x83, 0x45, 0x83, 0x46, 0x83, 0x41, 0x81,
        0x40, 0x81, 0x40, 0x81, 0x46, 'R',  'e',  'v',  '.',  '1',  '.',  '2',  'b',  '\r', '\n'};
    EXPECT_EQ(expected, bytesOf(deviceRevisionLine(FirmwareRevision{1, 2, 'b', 0})));
    // Unsigned numbers, never negative.
    EXPECT_EQ("ファームウェア　　：Rev.255.200a\r\n",
              deviceRevisionLine(FirmwareRevision{255, 200, 'a', 0}));
    EXPECT_EQ("更新ファームウェア：Rev.2.10b\r\n",
              imageRevisionLine(FirmwareRevision{2, 10, 'b', 0}));
}

TEST(NotesForLog, EveryLineFeedBecomesCarriageReturnLineFeed) {
    EXPECT_EQ("a\r\nb", notesForLog("a\nb"));
    EXPECT_EQ("a\r\r\nb", notesForLog("a\r\nb")) << "a CR before the LF is not looked at";
    EXPECT_EQ("\r\n\r\n", notesForLog("\n\n"));
    EXPECT_EQ("", notesForLog(""));
    EXPECT_EQ("a\r\n", notesForLog(std::string("a\n\0b\n", 5))) << "up to the first NUL";
    EXPECT_EQ("更新\r\n", notesForLog("更新\n"));
}

TEST(AboutCommand, TheMaskKeepsBits4To15OfTheWholeWord) {
    for (UINT id = 0x10; id <= 0x1F; ++id)
        EXPECT_TRUE(isAboutCommand(id)) << id;
    EXPECT_TRUE(isAboutCommand(0x12340018));
    EXPECT_FALSE(isAboutCommand(0x0F));
    EXPECT_FALSE(isAboutCommand(0x20));
    EXPECT_FALSE(isAboutCommand(SC_CLOSE));
    EXPECT_FALSE(isAboutCommand(SC_KEYMENU));
}

} // namespace
