#include "UiDriver.h"

#include <dlgs.h>

namespace support {

namespace {

// How long one message to the program may take; the program's UI thread keeps serving sent
// messages even inside its modal loops, so only a hung program reaches this.
constexpr UINT sendTimeout = 10000;

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// The file name box of the file-open dialog: the combo box of the Explorer-style dialog
// (cmb13), or the edit box of the old style (edt1).
bool isFileDialog(HWND dialog) {
    return GetDlgItem(dialog, cmb13) || GetDlgItem(dialog, edt1);
}

HWND fileNameBox(HWND fileDialog) {
    HWND box = GetDlgItem(fileDialog, cmb13);
    return box ? box : GetDlgItem(fileDialog, edt1);
}

// Top-level windows of the process `pid` with the window class "#32770" (dialogs and message
// boxes), on the calling thread's desktop.
std::vector<HWND> dialogsOf(DWORD pid) {
    std::vector<HWND> found;
    for (HWND window : topLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && className(window) == L"#32770")
            found.push_back(window);
    }
    return found;
}

} // namespace

ButtonStates statesOf(Step step) {
    const ButtonState shown{true, true}, hidden{false, false}, disabled{true, false};
    // Connect, Open, Update, Finish, Cancel; in the order of Step.
    const ButtonStates states[] = {{shown, hidden, hidden, hidden, shown},
                                   {hidden, shown, hidden, hidden, shown},
                                   {hidden, hidden, shown, hidden, shown},
                                   {hidden, hidden, disabled, hidden, disabled},
                                   {hidden, hidden, hidden, shown, shown}};
    return states[static_cast<int>(step)];
}

const char* nameOf(Step step) {
    const char* const names[] = {"Connect step", "Open step", "Update step", "Updating",
                                 "Finished"};
    return names[static_cast<int>(step)];
}

std::string describe(const ButtonStates& states) {
    auto one = [](const char* name, const ButtonState& state) {
        return name + std::string(state.visible ? (state.enabled ? " shown" : " visible-disabled")
                                                : (state.enabled ? " hidden-enabled" : " hidden"));
    };
    return one("Connect", states.connect) + ", " + one("Open", states.open) + ", " +
           one("Update", states.update) + ", " + one("Finish", states.finish) + ", " +
           one("Cancel", states.cancel);
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!window || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                        sendTimeout, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, sendTimeout, &copied))
        return std::wstring();
    text.resize(copied < length ? copied : length);
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

ButtonState MainDialog::button(int id) const {
    HWND control = GetDlgItem(window, id);
    if (!control)
        return {};
    return {IsWindowVisible(control) != 0, IsWindowEnabled(control) != 0};
}

ButtonStates MainDialog::buttons() const {
    return {button(idConnect), button(idOpen), button(idUpdate), button(idFinish),
            button(idCancel)};
}

HWND MainDialog::focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool MainDialog::click(int id) const {
    HWND control = GetDlgItem(window, id);
    if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control))
        return false;
    return PostMessageW(control, BM_CLICK, 0, 0) != 0;
}

void MainDialog::postCancelCommand() const {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
}

void MainDialog::postKey(WORD key) const {
    // The dialog's message loop hands keys of the dialog and its controls to the dialog
    // manager, which turns Escape into the Cancel command and Enter into the default button's.
    HWND target = focus();
    if (!target || (target != window && !IsChild(window, target)))
        target = window;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    PostMessageW(target, WM_KEYUP, key, scan | 0xC0000001);
}

bool MainDialog::typeKey(WORD key) const {
    if (GetForegroundWindow() != window && !SetForegroundWindow(window))
        return false;
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

void MainDialog::postSysCommand(WPARAM command) const {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

void MainDialog::postClose() const {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

MainDialog findMainDialog(DWORD pid) {
    for (HWND dialog : dialogsOf(pid)) {
        if (GetDlgItem(dialog, idLog) && GetDlgItem(dialog, idConnect))
            return MainDialog(dialog);
    }
    return MainDialog();
}

HWND findFileDialog(DWORD pid, HWND owner) {
    for (HWND dialog : dialogsOf(pid)) {
        if (GetWindow(dialog, GW_OWNER) == owner && isFileDialog(dialog) && IsWindowVisible(dialog))
            return dialog;
    }
    return nullptr;
}

bool answerFileDialog(HWND fileDialog, const std::wstring& path) {
    HWND box = fileNameBox(fileDialog);
    DWORD_PTR result = 0;
    if (!box || !SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()),
                                     SMTO_ABORTIFHUNG, sendTimeout, &result))
        return false;
    if (windowText(box) != path)
        return false;
    return pressButton(fileDialog, IDOK);
}

bool pressButton(HWND dialog, int id) {
    return PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0) != 0;
}

HWND findMessageBox(DWORD pid, HWND owner) {
    const HWND main = findMainDialog(pid).handle();
    for (HWND dialog : dialogsOf(pid)) {
        if (dialog != main && IsWindowVisible(dialog) &&
            (owner == nullptr || GetWindow(dialog, GW_OWNER) == owner))
            return dialog;
    }
    return nullptr;
}

std::wstring messageBoxText(HWND box) {
    std::vector<HWND> statics;
    for (HWND child : childWindows(box)) {
        if (className(child) == L"Static")
            statics.push_back(child);
    }
    std::wstring text;
    for (HWND control : statics) {
        std::wstring part = windowText(control);
        if (part.empty())
            continue;
        if (!text.empty())
            text += L'\n';
        text += part;
    }
    return text;
}

HWND findDialogByTitle(DWORD pid, const std::wstring& title) {
    for (HWND dialog : dialogsOf(pid)) {
        if (IsWindowVisible(dialog) && windowText(dialog) == title)
            return dialog;
    }
    return nullptr;
}

} // namespace support
