// The dialog tests make real windows. A Wine process takes its display from the desktop it
// starts on, and the prefix's default desktop may be one left without a display by an earlier
// program: so the tests run in a second process, started on a virtual desktop of their own on
// the X display in DISPLAY, with this process's output.
#include "support/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t onDesktop[] = L"--on-own-desktop";
// Longer than the tests take on a slow machine, shorter than the entry's time-out.
constexpr DWORD hangGuard = 540000;

int runOnOwnDesktop(int argc, wchar_t** argv) {
    support::VirtualDesktop desktop(L"kelvo-ui-" + std::to_wstring(GetCurrentProcessId()), 1024,
                                    768);
    if (!desktop.attached()) {
        std::fprintf(stderr, "ui_tests: no virtual desktop (is DISPLAY set?)\n");
        return 1;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring arguments;
    for (int i = 1; i < argc; ++i)
        arguments += L"\"" + std::wstring(argv[i]) + L"\" ";
    support::ProgramProcess tests(self, {}, desktop.name(), arguments + onDesktop, L"", true);
    if (!tests.started()) {
        std::fprintf(stderr, "ui_tests: can't start the tests (error %lu)\n", GetLastError());
        return 1;
    }
    if (!tests.waitForExit(hangGuard)) {
        std::fprintf(stderr, "ui_tests: the tests hang\n");
        return 1; // and the tests are ended
    }
    return static_cast<int>(tests.exitCode());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wcscmp(argv[argc - 1], onDesktop) != 0)
        return runOnOwnDesktop(argc, argv);
    --argc;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
