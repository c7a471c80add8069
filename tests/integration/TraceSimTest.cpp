// The simulator's trace when two processes append to it at once: every line arrives whole.
// The second process is this program again, started with --append-trace-lines (see main).
#include "SimFixture.h"
#include "platform/kovusbd.h"
#include "support/Polling.h"
#include "support/ProgramProcess.h"

#include <algorithm>
#include <iterator>
#include <regex>

namespace {

constexpr int linesPerProcess = 1500;
const char* const appendOption = "--append-trace-lines";

// Each call on an unknown device handle writes one trace line.
void appendLines() {
    for (int i = 0; i < linesPerProcess; ++i)
        KovCloseDevice(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(2 * i + 2)));
}

using SimTrace = SimTest;

TEST_F(SimTrace, TwoProcessesAppendWholeLines) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::string option = appendOption;
    support::ProgramProcess child(program, {}, L"", std::wstring(option.begin(), option.end()));
    ASSERT_TRUE(child.started());
    appendLines();
    ASSERT_TRUE(child.waitForExit(support::patience));
    EXPECT_EQ(0u, child.exitCode());

    const std::string text = readFile(L"trace.txt");
    const std::regex line("[0-9]+ KovCloseDevice\\(0x[0-9A-F]+\\) = 0 err=6\n");
    EXPECT_EQ(2 * linesPerProcess,
              std::distance(std::sregex_iterator(text.begin(), text.end(), line),
                            std::sregex_iterator()));
    EXPECT_EQ(static_cast<long>(2 * linesPerProcess), std::count(text.begin(), text.end(), '\n'));
}

} // namespace

// The tests, or with --append-trace-lines the second process of TwoProcessesAppendWholeLines.
int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == appendOption) {
        appendLines();
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
