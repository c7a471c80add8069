// kelvo_walk: a scripted walk through the program for a machine without a screen. Starts
// KelvoUpdate.exe against the device simulator on a virtual desktop, clicks Connect, opens the
// firmware file, clicks Update, waits for the end, prints the log and saves a screenshot of
// every step, then clicks Finish. The device verifies until the Updating step's screenshot is
// saved.
//
//   kelvo_walk.exe --program=EXE --firmware=FILE --work=DIR [--shots=DIR]     (Linux paths)
#include "base/TextConversion.h"
#include "res/resource.h"
#include "support/Polling.h"
#include "support/ProgramProcess.h"
#include "support/Screenshot.h"
#include "support/Texts.h"
#include "support/UiDriver.h"
#include "support/VirtualDesktop.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using namespace support;

// UTF-8 without the carriage returns of the log's line ends.
std::string utf8(const std::wstring& text) {
    std::wstring plain;
    for (wchar_t c : text) {
        if (c != L'\r')
            plain += c;
    }
    return toUtf8(plain);
}

void say(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Creates the file that ends the device's held stage.
bool release(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

class Walk {
public:
    Walk(const MainDialog& dialog, DWORD pid, const Screenshots& shots)
        : dialog(dialog), pid(pid), shots(shots) {}

    // Waits until the buttons show `step`.
    bool reach(Step step, const wchar_t* shot) {
        return reach(std::string("the ") + nameOf(step), shot,
                     [&] { return dialog.buttons() == statesOf(step); });
    }

    // Waits until the log's last line is `line`.
    bool reachLine(const std::wstring& line, const wchar_t* shot) {
        return reach("the line " + utf8(line.substr(0, line.find(L'\r'))), shot, [&] {
            const std::wstring log = dialog.log();
            return log.size() >= line.size() &&
                   log.compare(log.size() - line.size(), line.size(), line) == 0;
        });
    }

    bool click(int id, const char* name) {
        say(std::string("walk: click ") + name + "\n");
        return dialog.click(id);
    }

    bool open(const std::wstring& path) {
        say("walk: open " + utf8(path) + "\n");
        if (!dialog.click(idOpen))
            return false;
        HWND fileDialog = nullptr;
        return waitUntil([&] { return (fileDialog = findFileDialog(pid, dialog.handle())); }) &&
               answerFileDialog(fileDialog, path) &&
               waitUntil([&] { return !IsWindow(fileDialog); });
    }

    void printNewLog() {
        std::wstring log = dialog.log();
        if (log.size() > printed && log.compare(0, printed, shown) == 0) {
            say(utf8(log.substr(printed)));
            printed = log.size();
            shown = log;
        }
    }

private:
    // Waits until `done`, printing the log lines that arrived meanwhile, then saves `shot`.
    bool reach(const std::string& what, const wchar_t* shot, const std::function<bool()>& done) {
        const bool reached = waitUntil([&] {
            printNewLog();
            return done();
        });
        printNewLog();
        if (!reached) {
            say("walk: the program did not reach " + what + "\n");
            return false;
        }
        if (shot && shots.enabled())
            shots.save(shot, {dialog.handle()});
        return true;
    }

    const MainDialog& dialog;
    DWORD pid;
    const Screenshots& shots;
    std::wstring shown;
    size_t printed = 0;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::wstring program, firmware, work, shotsDir;
    for (int i = 1; i < argc; ++i) {
        if (!option(argv[i], L"--program=", program) &&
            !option(argv[i], L"--firmware=", firmware) && !option(argv[i], L"--work=", work) &&
            !option(argv[i], L"--shots=", shotsDir)) {
            std::fprintf(stderr, "kelvo_walk: unknown argument %ls\n", argv[i]);
            return 2;
        }
    }
    if (program.empty() || firmware.empty() || work.empty()) {
        std::fprintf(stderr,
                     "kelvo_walk: --program=EXE, --firmware=FILE and --work=DIR are required\n");
        return 2;
    }
    const std::wstring workDir = windowsPathOf(work);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(workDir), error);
    if (!shotsDir.empty())
        std::filesystem::create_directories(std::filesystem::path(windowsPathOf(shotsDir)), error);
    // Verifying lasts until the walk creates the release file.
    const std::wstring scenario = workDir + L"\\scenario.txt";
    if (FILE* file = _wfopen(scenario.c_str(), L"wb")) {
        std::fputs("verify_ms = held\nrelease_file = release\n", file);
        std::fclose(file);
    }
    const std::wstring releaseFile = workDir + L"\\release";
    DeleteFileW(releaseFile.c_str());
    DeleteFileW((workDir + L"\\state.txt").c_str());

    const std::wstring desktopName = L"kelvo-walk-" + std::to_wstring(GetCurrentProcessId());
    VirtualDesktop desktop(desktopName, 800, 600);
    if (!desktop.attached()) {
        std::fprintf(stderr, "kelvo_walk: no virtual desktop (is DISPLAY set?)\n");
        return 1;
    }
    ProgramProcess process(windowsPathOf(program),
                           {{L"KOVSIM_SCENARIO", scenario},
                            {L"KOVSIM_TRACE", workDir + L"\\trace.txt"},
                            {L"KOVSIM_STATE", workDir + L"\\state.txt"}},
                           desktopName);
    MainDialog dialog;
    if (!process.started() || !waitUntil([&] {
            dialog = findMainDialog(process.id());
            return static_cast<bool>(dialog);
        })) {
        std::fprintf(stderr, "kelvo_walk: the program did not start\n");
        return 1;
    }
    Screenshots shots(shotsDir);
    Walk walk(dialog, process.id(), shots);
    bool ok = walk.reach(Step::connect, L"1-connect") && walk.click(idConnect, "Connect") &&
              walk.reach(Step::open, L"2-open") && walk.open(windowsPathOf(firmware)) &&
              walk.reach(Step::update, L"3-update") && walk.click(idUpdate, "Update") &&
              walk.reach(Step::updating, nullptr) &&
              walk.reachLine(text::verifying, L"4-updating") && release(releaseFile) &&
              walk.reach(Step::finished, L"5-finished");
    if (ok && shots.enabled()) {
        dialog.postSysCommand(IDM_ABOUTBOX);
        HWND about = nullptr;
        if (waitUntil([&] {
                return (about = findDialogByTitle(process.id(), L"Kelvoのﾊﾞｰｼﾞｮﾝ情報")) != nullptr;
            })) {
            shots.save(L"6-about", {dialog.handle(), about});
            PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
            waitUntil([&] { return !IsWindow(about); });
        }
    }
    if (ok)
        ok = walk.click(idFinish, "Finish") && process.waitForExit(patience);
    if (shots.enabled())
        say("walk: screenshots in " + utf8(shotsDir) + "\n");
    say(ok ? "walk: done\n" : "walk: stopped\n");
    return ok ? 0 : 1;
}
