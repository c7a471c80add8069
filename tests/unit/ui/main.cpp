// The dialog tests make real windows. A Wine process takes its display from the desktop it
// starts on, and the prefix's default desktop may be one left without a display by an earlier
// program: so the tests run in a second process, started on a virtual desktop of their own on
// the X display in DISPLAY, with this process's output.
#include "../../e2e/VirtualDesktop.h"
#include "sim/Handle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t onDesktop[] = L"--on-own-desktop";
// Longer than the tests take on a slow machine, shorter than the entry's time-out.
constexpr DWORD hangGuard = 540000;

int runOnOwnDesktop() {
    e2e::VirtualDesktop desktop(L"kelvo-ui-" + std::to_wstring(GetCurrentProcessId()), 1024, 768);
    if (!desktop.attached()) {
        std::fprintf(stderr, "ui_tests: no virtual desktop (is DISPLAY set?)\n");
        return 1;
    }
    std::wstring command = std::wstring(GetCommandLineW()) + L" " + onDesktop;
    std::wstring name = desktop.name();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = &name[0];
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    std::fflush(stdout);
    std::fflush(stderr);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info)) {
        std::fprintf(stderr, "ui_tests: can't start the tests (error %lu)\n", GetLastError());
        return 1;
    }
    const Handle process(info.hProcess);
    CloseHandle(info.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(process.get(), hangGuard) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "ui_tests: the tests hang\n");
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), hangGuard);
    } else {
        GetExitCodeProcess(process.get(), &code);
    }
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || std::wcscmp(argv[argc - 1], onDesktop) != 0)
        return runOnOwnDesktop();
    --argc;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
