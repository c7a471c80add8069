// The Connect step: the driver library's companion DLL. Refused connections and their retry
// are in FaultTest.cpp.
#include "E2eTest.h"
#include "base/TextConversion.h"
#include "support/Texts.h"

namespace e2e {
namespace {

class ConnectStep : public ProgramTest {};

// A driver library that loads a companion DLL by its name when it opens the device finds it
// beside itself, in the program's folder. A copy in the current folder or on PATH is never
// loaded: Connect fails there (error 126) until the companion is beside the program.
TEST_F(ConnectStep, TheDriversCompanionComesFromTheProgramsFolderOnly) {
    const std::wstring programFolder = workFile(L"program");
    const std::wstring currentFolder = workFile(L"current");
    const std::wstring pathFolder = workFile(L"path");
    const std::wstring name = L"\\kovsim_companion.dll";
    for (const std::wstring& folder : {programFolder, currentFolder, pathFolder})
        CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = programFolder + L"\\KelvoUpdate.exe";
    ASSERT_TRUE(CopyFileW(settings().programPath.c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(settings().simulatorPath.c_str(),
                          (programFolder + L"\\kovusbd.dll").c_str(), FALSE));
    DeleteFileW((programFolder + name).c_str());
    for (const std::wstring& folder : {currentFolder, pathFolder})
        ASSERT_TRUE(CopyFileW(settings().companionPath.c_str(), (folder + name).c_str(), FALSE));
    wchar_t path[32767] = {};
    GetEnvironmentVariableW(L"PATH", path, 32767);

    writeScenario("companion = kovsim_companion.dll\n");
    ASSERT_TRUE(start(program, currentFolder, {{L"PATH", pathFolder + L";" + path}}));
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::connectFailed));
    EXPECT_EQ(1u, linesOf(traceLines(), "companion(", ") kovsim_companion.dll err=126").size());

    ASSERT_TRUE(CopyFileW(settings().companionPath.c_str(), (programFolder + name).c_str(), FALSE));
    ASSERT_TRUE(click(idConnect));
    ASSERT_TRUE(logBecomes(text::connectFailed + text::deviceLines));
    EXPECT_EQ(
        1u,
        linesOf(traceLines(), "companion(", " loaded from " + toUtf8(programFolder + name)).size());
    dialog().postSysCommand(SC_CLOSE);
    EXPECT_TRUE(programEnds());
    EXPECT_TRUE(devicesClosed(traceLines(), 1));
}

} // namespace
} // namespace e2e
