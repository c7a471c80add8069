// The UI driver: finds the program's windows on the shared desktop and works them the way a
// user would, from another process, with posted messages only (a click that opens a modal
// dialog must not block the driver) and wide messages for every text.
//
// 1. findMainDialog(pid) finds the main dialog; MainDialog reads its log and button states,
//    clicks buttons by id, and sends keys and system commands.
// 2. findFileDialog / answerFileDialog answer the file-open dialog with a path.
// 3. findMessageBox / messageBoxText read the program's message boxes; pressButton closes them.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace support {

// Control ids of the main dialog.
enum ControlId : int {
    idFinish = IDOK,
    idCancel = IDCANCEL,
    idConnect = 1000,
    idStatusLine = 1001,
    idLog = 1002,
    idOpen = 1003,
    idUpdate = 1004,
};

struct ButtonState {
    bool visible = false;
    bool enabled = false;
    bool operator==(const ButtonState& other) const {
        return visible == other.visible && enabled == other.enabled;
    }
};

// The five buttons of the main dialog, which together are the dialog's step.
struct ButtonStates {
    ButtonState connect, open, update, finish, cancel;
    bool operator==(const ButtonStates& other) const {
        return connect == other.connect && open == other.open && update == other.update &&
               finish == other.finish && cancel == other.cancel;
    }
    bool operator!=(const ButtonStates& other) const { return !(*this == other); }
};

// statesOf and nameOf keep their tables in this order.
enum class Step { connect, open, update, updating, finished };

// The button states of each step: shown = visible and enabled, hidden = neither.
ButtonStates statesOf(Step step);
const char* nameOf(Step step);
std::string describe(const ButtonStates& states);
// How GoogleTest prints the states.
inline void PrintTo(const ButtonStates& states, std::ostream* out) {
    *out << describe(states);
}

// Top-level windows on the calling thread's desktop, and the child windows of `parent`.
std::vector<HWND> topLevelWindows();
std::vector<HWND> childWindows(HWND parent);

// Text of any window, read with WM_GETTEXT (wide) so that it also works across processes.
std::wstring windowText(HWND window);
std::wstring className(HWND window);

class MainDialog {
public:
    MainDialog() = default;
    explicit MainDialog(HWND window) : window(window) {}

    explicit operator bool() const { return window != nullptr; }
    HWND handle() const { return window; }
    bool exists() const { return window && IsWindow(window); }

    std::wstring title() const { return windowText(window); }
    std::wstring log() const { return windowText(control(idLog)); }
    ButtonState button(int id) const;
    ButtonStates buttons() const;
    // The control that has the keyboard focus in the program's UI thread, or null.
    HWND focus() const;
    HWND control(int id) const { return GetDlgItem(window, id); }

    // Clicks a button as a user would; refuses (returns false) when the button is hidden or
    // disabled, since a user could not click it either.
    bool click(int id) const;
    // What the dialog manager sends for Escape, and the key itself.
    void postCancelCommand() const;
    void pressEscape() const { postKey(VK_ESCAPE); }
    // A key posted to the control with the focus (the dialog when none has it), which the
    // dialog's message loop hands to the dialog manager.
    void postKey(WORD key) const;
    // A key typed as on the keyboard: the dialog is brought to the front and the key goes
    // through the system's input queue (SendInput) to wherever the program's focus is.
    bool typeKey(WORD key) const;
    void postSysCommand(WPARAM command) const;
    void postClose() const;

private:
    HWND window = nullptr;
};

// The main dialog of process `pid`: a dialog with the log control; null when there is none.
MainDialog findMainDialog(DWORD pid);

// The file-open dialog owned by `owner`, or null.
HWND findFileDialog(DWORD pid, HWND owner);
// Types `path` into the file name box and presses the OK button.
bool answerFileDialog(HWND fileDialog, const std::wstring& path);
// Clicks button `id` of a dialog (a file dialog, a message box), posting the click.
bool pressButton(HWND dialog, int id);

// A visible dialog of process `pid` other than its main dialog (a message box while no file
// dialog or about box is open), or with `owner` the one that window owns; null when none.
HWND findMessageBox(DWORD pid, HWND owner = nullptr);
// The message text of a message box (its static texts, joined by line feeds).
std::wstring messageBoxText(HWND box);

// A top-level dialog of `pid` with the title `title`, or null.
HWND findDialogByTitle(DWORD pid, const std::wstring& title);

} // namespace support
