// UpdateDialog: the program's one window (template 102), leading through Connect, Open and
// Update with buttons that take turns at one place, and the log of every result.
//
// 1. Construct it with what shows the about box and run doModal(); Finish or Cancel ends it.
//    It owns the device object, and shows the transfer's file errors over itself.
// 2. Connect and Open run on the UI thread. Update starts one worker thread that runs the
//    update sequence and a 100 ms timer that, once the worker is done, offers Finish.
// 3. While the worker runs (busy) the dialog can't be ended: the worker uses its members.
//    Nor can the session: shutdown and log-off wait, with a reason Windows shows, and the
//    taskbar button shows the work; it flashes at the end if the user is elsewhere. Once the
//    dialog has agreed to a session end, no update starts until the session goes on.
// 4. Enter presses the step's button in every step, and Finish takes the focus when the
//    update's end leaves it nowhere. Screen readers hear every log line as it is appended.
#pragma once

#include "base/TextFormat.h"
#include "framework/Dialog.h"
#include "framework/Font.h"
#include "framework/Window.h"
#include "platform/Taskbar.h"
#include "ui/LogEdit.h"
#include "update/FirmwareWriter.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

class UpdateDialog : public Dialog {
public:
    static constexpr UINT_PTR updateTimer = 101;
    static constexpr UINT updateTimerPeriod = 100; // ms
    static constexpr int deviceSelector = 0x201;
    // Posted by the worker when it is done, for a dialog whose timer could not be created.
    static constexpr UINT workerEndedMessage = WM_APP + 1;
    // Sent by the worker for each line it appended, so that the UI thread announces it.
    static constexpr UINT announceMessage = WM_APP + 2;

    // Shows the about box, owned by the window it is given; the application supplies it.
    using AboutBox = std::function<void(HWND owner)>;

    explicit UpdateDialog(AboutBox showAbout, HWND parent = nullptr);
    ~UpdateDialog() override = default;

protected:
    MessageTable messageTable() const override;
    void doDataExchange() override;
    bool onInitDialog() override;
    void onOK() override;
    void onCancel() override;

private:
    // on: enable, then show; off: disable, then hide.
    void enableAndShow(const Window& control, bool on);
    // printf-style; may be called from either thread.
    void logMessage(const char* format, ...) KELVO_PRINTF_FORMAT(2, 3);
    // The same for the line that ends a step, its result: screen readers hear it as such.
    void logResult(const char* format, ...) KELVO_PRINTF_FORMAT(2, 3);
    void logLine(bool endsStep, const char* format, va_list args) KELVO_PRINTF_FORMAT(3, 0);

    // Each appended message reaches screen readers, from the UI thread (UpdateDialogSpeech);
    // the log has a name for them.
    void giveLogToScreenReaders();
    void announce(const std::string& message);
    void onAnnounce(WPARAM endsStep, LPARAM message);
    void speak(const std::string& message, bool endsStep);

    void onSysCommand(UINT command, LPARAM position);
    void onPaint();
    HICON onQueryDragIcon();
    void onConnect();
    void onOpen();
    void onUpdate();
    void onTimer(UINT_PTR id);
    void onDpiChanged(int dotsPerInch);

    void onWorkerEnded();
    // Moves to the Finished state once the worker is done; the update's marks come off.
    void finishUpdate();

    bool onQueryEndSession();
    void onEndSession(bool ending);
    void onTaskbarButtonCreated();
    void showTaskbarState(TBPFLAG state);

    int runUpdate();
    static DWORD WINAPI updateThreadProc(void* dialog);

    Button updateButton;
    Button openButton;
    Button connectButton;
    LogEdit logWindow;
    StaticText statusLine;
    Button cancelButton;
    Button finishButton;
    HICON icon;
    std::atomic<int> busy{0}; // 1 from the start of the worker until it is done
    // The device reported success: written by the worker before busy falls, read after it.
    bool updated = false;
    // The line being appended ends a step: written and read by the thread that appends it.
    bool lineEndsStep = false;
    bool updating = false;      // UI thread: Update clicked, Finished not yet shown
    bool sessionEnding = false; // UI thread: we agreed to end the session, it has not gone on
    bool timerRunning = false;
    bool taskbarButton = false; // the shell has made the button ("TaskbarButtonCreated")
    TBPFLAG taskbarState = TBPF_NOPROGRESS;
    Font logFont;
    std::wstring firmwarePath;
    FirmwareWriter device;
    AboutBox showAbout;
};
