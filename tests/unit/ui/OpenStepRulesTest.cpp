// The pure rules of the Connect and Open steps: the identity and revision lines, the
// compatibility of a file with the device, the notes as logged, the about command's mask.
#include "ui/AboutMenu.h"
#include "ui/Compatibility.h"
#include "ui/LogLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

DeviceIdentity device(std::uint32_t serial, char suffix) {
    return DeviceIdentity{serial, FirmwareRevision{3, 4, static_cast<std::uint8_t>(suffix), 0}};
}

FirmwareRevision revision(int major, int minor, char suffix) {
    return FirmwareRevision{static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor),
                            static_cast<std::uint8_t>(suffix), 0};
}

TEST(IdentityLines, SerialLineInCodePage932Bytes) {
    // The top byte of the word never shows; three ideographic spaces and a full-width colon.
    const std::vector<std::uint8_t> expected = {
        0x83, 0x56, 0x83, 0x8A, 0x83, 0x41, 0x83, 0x8B, 0x94, 0xD4, 0x8D, 0x86, 0x81, 0x40, 0x81,
        0x40, 0x81, 0x40, 0x81, 0x46, '0',  '0',  '1',  '2',  'a',  'b',  'c',  'd',  '\r', '\n'};
    EXPECT_EQ(expected, bytesOf(serialNumberLine(device(0xFF12ABCD, 'b'))));
}

TEST(IdentityLines, SerialLineAlwaysHasEightDigits) {
    EXPECT_EQ("シリアル番号　　　：00000001\r\n", serialNumberLine(device(1, 'b')));
    EXPECT_EQ("シリアル番号　　　：00ffffff\r\n", serialNumberLine(device(0xFFFFFFFF, 'b')));
}

TEST(IdentityLines, RevisionLines) {
    const std::vector<std::uint8_t> expected = {
        0x83, 0x74, 0x83, 0x40, 0x81, 0x5B, 0x83, 0x80, 0x83, 0x45, 0x83, 0x46, 0x83, 0x41, 0x81,
        0x40, 0x81, 0x40, 0x81, 0x46, 'R',  'e',  'v',  '.',  '1',  '.',  '2',  'b',  '\r', '\n'};
    EXPECT_EQ(expected, bytesOf(deviceRevisionLine(revision(1, 2, 'b'))));
    // Unsigned numbers, never negative.
    EXPECT_EQ("ファームウェア　　：Rev.255.200a\r\n", deviceRevisionLine(revision(255, 200, 'a')));
    EXPECT_EQ("更新ファームウェア：Rev.2.10b\r\n", imageRevisionLine(revision(2, 10, 'b')));
}

TEST(Compatibility, ImageForEveryDeviceOfAVariantComparesTheSuffixOnly) {
    EXPECT_TRUE(isCompatible(0, revision(9, 9, 'b'), device(0x123456, 'b')));
    EXPECT_TRUE(isCompatible(0, revision(0, 1, 'b'), device(0x123456, 'b'))) << "older firmware";
    EXPECT_FALSE(isCompatible(0, revision(3, 4, 'c'), device(0x123456, 'b')));
    // Only the low 24 bits of the target serial count: these are zero too.
    EXPECT_TRUE(isCompatible(0xFF000000, revision(3, 4, 'b'), device(0x123456, 'b')));
}

TEST(Compatibility, ImageForOneDeviceComparesTheSerialOnly) {
    EXPECT_TRUE(isCompatible(0x123456, revision(1, 0, 'c'), device(0x123456, 'b')));
    EXPECT_FALSE(isCompatible(0x123457, revision(3, 4, 'b'), device(0x123456, 'b')));
    // A device word with a nonzero top byte matches on its low 24 bits.
    EXPECT_TRUE(isCompatible(0x123456, revision(3, 4, 'b'), device(0xAB123456, 'b')));
}

TEST(Compatibility, ShortHeaderResetValuesAreRefusedUnlessTheDeviceSerialIsAllOnes) {
    const FirmwareRevision reset = revision(0xFF, 0xFF, '\xFF');
    EXPECT_FALSE(isCompatible(0xFFFFFFFF, reset, device(0x123456, '\xFF')));
    EXPECT_TRUE(isCompatible(0xFFFFFFFF, reset, device(0x01FFFFFF, 'b')));
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
