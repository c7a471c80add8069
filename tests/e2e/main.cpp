// The end-to-end tests: KelvoUpdate.exe against the device simulator, on a virtual desktop of
// the X display in DISPLAY, driven through its windows.
//
//   kelvo_e2e.exe [gtest options] --program=EXE --firmware=DIR --work=DIR [--shots=DIR]
//                 [--expect-acp=N] [--simulator=DLL --companion=DLL]
// EXE, DIR and DLL are Linux paths: KelvoUpdate.exe, the sample firmware files, a scratch
// folder, the screenshots' folder, the simulator and the companion DLL its scenario may load.
#include "E2eTest.h"
#include "support/VirtualDesktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    e2e::Settings& settings = e2e::settings();
    for (int i = 1; i < argc; ++i) {
        using support::option;
        std::wstring value;
        if (option(argv[i], L"--program=", value))
            settings.programPath = support::windowsPathOf(value);
        else if (option(argv[i], L"--simulator=", value))
            settings.simulatorPath = support::windowsPathOf(value);
        else if (option(argv[i], L"--companion=", value))
            settings.companionPath = support::windowsPathOf(value);
        else if (option(argv[i], L"--firmware=", value))
            settings.firmwareDir = support::windowsPathOf(value);
        else if (option(argv[i], L"--work=", value))
            settings.workDir = support::windowsPathOf(value);
        else if (option(argv[i], L"--shots=", value))
            settings.shotsDir = value;
        else if (option(argv[i], L"--expect-acp=", value))
            settings.expectedCodePage =
                static_cast<unsigned>(std::wcstoul(value.c_str(), nullptr, 10));
        else {
            std::fprintf(stderr, "kelvo_e2e: unknown argument %ls\n", argv[i]);
            return 2;
        }
    }
    if (settings.programPath.empty() || settings.firmwareDir.empty() || settings.workDir.empty()) {
        std::fprintf(stderr,
                     "kelvo_e2e: --program=EXE, --firmware=DIR and --work=DIR are required\n");
        return 2;
    }
    std::error_code error;
    if (!settings.shotsDir.empty())
        std::filesystem::create_directories(support::windowsPathOf(settings.shotsDir), error);

    // One virtual desktop for the whole run: Wine draws captions and frames there.
    settings.desktop = L"kelvo-" + std::to_wstring(GetCurrentProcessId());
    support::VirtualDesktop desktop(settings.desktop, 800, 600);
    if (!desktop.attached()) {
        std::fprintf(stderr, "kelvo_e2e: no virtual desktop (is DISPLAY set?)\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
