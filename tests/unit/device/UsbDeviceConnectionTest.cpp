// Opening and closing the connection, and the English error texts.
#include "DeviceFixture.h"
#include "base/TextConversion.h"
#include "device/UsbDevice.h"

#include <algorithm>
#include <cstdlib>

namespace {

const Calls openedCalls = {
    "OpenDevice(513)",   "ControlRequest(dev,1,0,0xB1,0,0,4,buf)",
    "OpenPipe(dev,0,0)", "AbortPipe(pipe0)",
    "OpenPipe(dev,0,1)", "AbortPipe(pipe1)",
    "OpenPipe(dev,0,2)", "AbortPipe(pipe2)",
};
// Every pipe aborted, then the device closed.
const Calls closedCalls = {"AbortPipe(pipe0)", "AbortPipe(pipe1)", "AbortPipe(pipe2)",
                           "CloseDevice(dev)"};

using UsbDeviceConnection = DeviceTest;

TEST_F(UsbDeviceConnection, NewConnectionIsClosedWithClearErrorState) {
    UsbDevice device;
    EXPECT_FALSE(device.isOpened());
    EXPECT_FALSE(device.isHighSpeed());
    EXPECT_EQ(0, device.lastErrorCode());
    EXPECT_EQ(0, device.lastErrorDetail());
    EXPECT_EQ("", device.getLastMessage());
    EXPECT_EQ(0xFFFFFFFFu, device.getWriteTimeout());
    EXPECT_TRUE(calls().empty());
}

TEST_F(UsbDeviceConnection, OnlyBitZeroOfTheConfigurationWordSelectsHighSpeed) {
    driver().replies[0xB1] = 0xFFFFFFFE;
    UsbDevice fullSpeed;
    ASSERT_EQ(0, fullSpeed.open(513));
    EXPECT_FALSE(fullSpeed.isHighSpeed());

    driver().replies[0xB1] = 0x00000001;
    UsbDevice highSpeed;
    ASSERT_EQ(0, highSpeed.open(513));
    EXPECT_TRUE(highSpeed.isHighSpeed());

    // The speed survives a close.
    highSpeed.close();
    EXPECT_TRUE(highSpeed.isHighSpeed());
}

TEST_F(UsbDeviceConnection, OpenDeviceRefusedKeepsTheDetailButShowsNoSystemText) {
    driver().openDeviceError = 2;
    UsbDevice device;
    EXPECT_EQ(USBERR_OPEN_DEVICE, device.open(513));
    EXPECT_EQ(Calls{"OpenDevice(513)"}, calls());
    EXPECT_EQ(-65539, device.lastErrorCode());
    EXPECT_EQ(2, device.lastErrorDetail());
    EXPECT_EQ("Fail to open device.", device.getLastMessage());
    EXPECT_FALSE(device.isOpened());
}

TEST_F(UsbDeviceConnection, ConfigurationRequestRefusedClosesTheDeviceAgain) {
    driver().requestError[0xB1] = 31;
    UsbDevice device;
    EXPECT_EQ(USBERR_VENDOR_REQUEST, device.open(513));
    EXPECT_EQ(
        (Calls{"OpenDevice(513)", "ControlRequest(dev,1,0,0xB1,0,0,4,buf)", "CloseDevice(dev)"}),
        calls());
    EXPECT_EQ(31, device.lastErrorDetail());
    EXPECT_EQ(vendorRequestError(31), device.getLastMessage());
    EXPECT_FALSE(device.isOpened());
    // Closed means closed: close reports that nothing is open.
    EXPECT_EQ(1, device.close());
}

class PipeOpenFailure : public DeviceTest, public ::testing::WithParamInterface<int> {};

TEST_P(PipeOpenFailure, UnwindsThePipesOpenedBeforeAndTheDevice) {
    const int failing = GetParam();
    driver().pipeOpenError[failing] = 5;
    UsbDevice device;
    EXPECT_EQ(USBERR_OPEN_PIPE, device.open(513));

    // The calls up to the failing open pipe, then only the device close: the pipes opened
    // before it are closed with CloseHandle alone (no abort).
    Calls expected(openedCalls.begin(), openedCalls.begin() + 2 + 2 * failing + 1);
    expected.push_back("CloseDevice(dev)");
    EXPECT_EQ(expected, calls());
    for (int i = 0; i < failing; ++i)
        EXPECT_TRUE(pipe(i).nearEndClosed()) << "pipe " << i;

    EXPECT_EQ(-65540, device.lastErrorCode());
    EXPECT_EQ(5, device.lastErrorDetail());
    EXPECT_EQ(openPipeError(failing, 5), device.getLastMessage());
    EXPECT_FALSE(device.isOpened());

    // The connection can be opened once the pipe is available again.
    driver().pipeOpenError[failing] = 0;
    calls().clear();
    EXPECT_EQ(0, device.open(513));
    EXPECT_EQ(openedCalls, calls());
}

INSTANTIATE_TEST_SUITE_P(EachPipe, PipeOpenFailure, ::testing::Values(0, 1, 2));

TEST_F(UsbDeviceConnection, SecondOpenIsRefusedAndLeavesTheConnectionAlone) {
    UsbDevice device;
    ASSERT_EQ(0, device.open(513));
    calls().clear();
    EXPECT_EQ(USBERR_ALREADY_OPENED, device.open(513));
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(device.isOpened());
    EXPECT_EQ("Device already opened.\r\n", device.getLastMessage());
    EXPECT_EQ(0, device.lastErrorDetail());
    EXPECT_FALSE(pipe(1).nearEndClosed());
}

TEST_F(UsbDeviceConnection, CloseWhenClosedReportsAndCallsNothing) {
    UsbDevice device;
    EXPECT_EQ(1, device.close());
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(-65538, device.lastErrorCode());
    EXPECT_EQ(0, device.lastErrorDetail());
    EXPECT_EQ("Device not opened.\r\n", device.getLastMessage());
}

TEST_F(UsbDeviceConnection, OpenAndCloseCallTheLibraryInOrderForEveryPipe) {
    UsbDevice device;
    EXPECT_EQ(0, device.open(513));
    EXPECT_EQ(openedCalls, calls());
    EXPECT_TRUE(device.isOpened());
    calls().clear();
    EXPECT_EQ(0, device.close());
    EXPECT_EQ(closedCalls, calls());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pipe(i).nearEndClosed()) << "pipe " << i;
    EXPECT_FALSE(device.isOpened());
    EXPECT_EQ("", device.getLastMessage());

    // A closed connection opens again.
    calls().clear();
    EXPECT_EQ(0, device.open(513));
    EXPECT_EQ(openedCalls, calls());
}

TEST_F(UsbDeviceConnection, DestroyingAnOpenConnectionClosesIt) {
    {
        UsbDevice device;
        ASSERT_EQ(0, device.open(513));
        calls().clear();
    }
    EXPECT_EQ(closedCalls, calls());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pipe(i).nearEndClosed()) << "pipe " << i;
}

TEST_F(UsbDeviceConnection, ReporterTextsForEveryCode) {
    UsbDevice device;
    struct Case {
        int code, detail, pipe;
        std::string text;
    };
    const std::string t5 = systemText(5);
    const int noSuchError = 0x2FFF1234; // no system text: the line ends after the colon
    const Case cases[] = {
        {-65537, 9, 1, "Device already opened.\r\n"},
        {-65538, 9, 1, "Device not opened.\r\n"},
        {-65539, 5, 1, "Fail to open device."},
        {-65540, 5, 2, openPipeError(2, 5)},
        {-65541, 5, 1, "Read pipe#1 error. Code == 5: " + t5},
        {-65542, 5, 2, writePipeError(2, 5)},
        {-65542, noSuchError, 1, writePipeError(1, noSuchError)},
        {-65543, 5, 2, vendorRequestError(5)},
        {-65544, 5, 2, "Zero length packet returned.\r\n"},
        {-65545, 5, 0, "Internal error(-65545). Detail == 5: " + t5},
        {-100, 5, 0, "Internal error(-100). Detail == 5: " + t5},
        {-7, -3, 0, "Internal error(-7). Detail == -3: " + systemText(static_cast<DWORD>(-3))},
    };
    for (const Case& c : cases) {
        device.reportError(c.code, c.detail, c.pipe);
        EXPECT_EQ(c.code, device.lastErrorCode());
        EXPECT_EQ(c.detail, device.lastErrorDetail());
        EXPECT_EQ(c.text, device.getLastMessage()) << "code " << c.code;
    }
    EXPECT_NE("", t5);
    EXPECT_EQ("", UsbDevice::formatSystemError(noSuchError));
}

// The system's texts reach the log as code page 932, whatever the system's own code page.
TEST(SystemText, CodePage932KeepsItsCharactersAndTakesOnlyAsciiFitsForOthers) {
    EXPECT_EQ("Ungultiger Parameter.\r\n",
              toCodePage932AsciiFit(L"Ung\u00FCltiger Parameter.\r\n"));
    // Narrow literals are code page 932 bytes.
    EXPECT_EQ("パラメーターは正しくありません。\r\n",
              toCodePage932AsciiFit(L"パラメーターは正しくありません。\r\n"));
    EXPECT_EQ("ｷｬﾝｾﾙ Ωд “1”", toCodePage932AsciiFit(L"ｷｬﾝｾﾙ Ωд “1”"));
    // « · µ ¯ ゔ, whose best fits are full-width or Japanese characters (≪ ・ μ ￣ ヴ), the
    // euro sign without a fit and a surrogate pair (one character) each become one "?".
    // (GCC takes characters outside code page 932 only as escapes here.)
    EXPECT_EQ("?a?b???c?d?e",
              toCodePage932AsciiFit(L"\u00ABa\u00B7b\u00B5\u00AF\u3094c\u20ACd\U0001F600e"));
}

// On a Japanese system every text is byte for byte what FormatMessageA gives; elsewhere its
// texts in plain ASCII are. device_tests_ja_JP runs this under code page 932.
TEST(SystemText, MatchesFormatMessageAOnCodePage932AndForAsciiTexts) {
    if (const char* expected = std::getenv("KELVO_EXPECT_ACP")) {
        ASSERT_EQ(std::strtoul(expected, nullptr, 10), GetACP()) << "locale not installed?";
    }
    int compared = 0;
    for (DWORD code = 0; code < 16384; ++code) {
        char ansi[4096] = {};
        if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, ansi, sizeof ansi, nullptr) == 0)
            continue;
        const std::string text = ansi;
        const bool ascii = std::all_of(text.begin(), text.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (GetACP() != 932 && !ascii)
            continue;
        EXPECT_EQ(text, UsbDevice::formatSystemError(static_cast<int>(code))) << "code " << code;
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

} // namespace
