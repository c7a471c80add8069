#include "ui/UpdateDialog.h"

#include "framework/ErrorBox.h"
#include "framework/FileDialog.h"
#include "framework/PaintDC.h"
#include "res/resource.h"
#include "ui/AboutMenu.h"
#include "ui/LogFont.h"
#include "ui/LogLines.h"
#include "update/Compatibility.h"
#include "update/FirmwareImage.h"

#include <cstdarg>
#include <new>
#include <utility>

namespace {

// The Open step's file dialog: firmware files preselected, then every file; its title is the
// system's own.
constexpr wchar_t firmwareFilter[] = L"Firmware Files (*.dat)\0*.dat\0"
                                     L"All Files (*.*)\0*.*\0";
constexpr const wchar_t* firmwareDialogTitle = nullptr;

} // namespace

UpdateDialog::UpdateDialog(AboutBox showAbout, HWND parent)
    : Dialog(IDD_UPDATE, parent),
      icon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      showAbout(std::move(showAbout)) {
    // File errors of the transfer are shown over the dialog, which the worker keeps waiting.
    device.setFileErrorHandler(
        [this](const FileException& error) { showFileError(handle(), error); });
}

MessageTable UpdateDialog::messageTable() const {
    static const MessageEntry entries[] = {
        entry<WM_SYSCOMMAND, &UpdateDialog::onSysCommand>(),
        entry<WM_PAINT, &UpdateDialog::onPaint>(),
        entry<WM_QUERYDRAGICON, &UpdateDialog::onQueryDragIcon>(),
        commandEntry<&UpdateDialog::onConnect>(IDC_CONNECT),
        commandEntry<&UpdateDialog::onOpen>(IDC_OPEN),
        commandEntry<&UpdateDialog::onUpdate>(IDC_UPDATE),
        entry<WM_TIMER, &UpdateDialog::onTimer>(),
        entry<WM_DPICHANGED, &UpdateDialog::onDpiChanged>(),
        messageEntry<&UpdateDialog::onWorkerEnded>(workerEndedMessage),
        privateMessageEntry<&UpdateDialog::onAnnounce>(announceMessage),
        entry<WM_QUERYENDSESSION, &UpdateDialog::onQueryEndSession>(),
        entry<WM_ENDSESSION, &UpdateDialog::onEndSession>(),
        // The shell sends it once the window's taskbar button exists.
        messageEntry<&UpdateDialog::onTaskbarButtonCreated>(
            RegisterWindowMessageW(L"TaskbarButtonCreated")),
    };
    return makeMessageTable(entries);
}

void UpdateDialog::doDataExchange() {
    bindControl(IDC_UPDATE, updateButton);
    bindControl(IDC_OPEN, openButton);
    bindControl(IDC_CONNECT, connectButton);
    bindControl(IDC_LOG, logWindow);
    bindControl(IDC_STATUS, statusLine);
    bindControl(IDCANCEL, cancelButton);
    bindControl(IDOK, finishButton);
}

bool UpdateDialog::onInitDialog() {
    Dialog::onInitDialog();
    appendAboutEntry(handle());

    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    enableAndShow(connectButton, true);
    enableAndShow(openButton, false);
    enableAndShow(updateButton, false);
    enableAndShow(finishButton, false);
    enableAndShow(cancelButton, true);

    // The log's font is made for the monitor the dialog is on (a control has the DPI of its
    // dialog), and remade by onDpiChanged whenever the dialog moves to a monitor of another
    // scale. Without it the log keeps the dialog's font.
    logWindow.keepFontOnDpiChange();
    applyLogFont(logWindow, logFont, logWindow.dotsPerInch());
    giveLogToScreenReaders();

    // Enter presses Connect, as it presses Open and Update in their steps; not the template's
    // default, Finish, which is hidden until the end.
    setDefaultButton(connectButton);
    return true; // the focus goes to the first tab stop, Connect
}

void UpdateDialog::onDpiChanged(int dotsPerInch) {
    applyLogFont(logWindow, logFont, dotsPerInch);
    // The dialog manager resizes the dialog and lays out its controls.
    passToDefault();
}

void UpdateDialog::onOK() {
    if (busy.load() != 0) {
        MessageBeep(MB_OK);
        return;
    }
    Dialog::onOK();
}

void UpdateDialog::onCancel() {
    // Escape and the window's close command come here too, even while Cancel is disabled.
    if (busy.load() != 0) {
        MessageBeep(MB_OK);
        return;
    }
    Dialog::onCancel();
}

void UpdateDialog::enableAndShow(const Window& control, bool on) {
    control.enable(on);
    control.show(on ? SW_SHOW : SW_HIDE);
}

void UpdateDialog::logMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logLine(false, format, args);
    va_end(args);
}

void UpdateDialog::logResult(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logLine(true, format, args);
    va_end(args);
}

void UpdateDialog::logLine(bool endsStep, const char* format, va_list args) {
    // Read by announce(), which the append calls on this thread; reset however it ends.
    struct Mark {
        bool& flag;
        ~Mark() { flag = false; }
    } mark{lineEndsStep};
    lineEndsStep = endsStep;
    logWindow.appendFormatV(format, args);
}

void UpdateDialog::onSysCommand(UINT command, LPARAM) {
    if (!isAboutCommand(command)) {
        passToDefault();
        return;
    }
    if (showAbout)
        showAbout(handle());
}

void UpdateDialog::onPaint() {
    if (!IsIconic(handle())) {
        passToDefault();
        return;
    }
    PaintDC dc(handle());
    SendMessageW(handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.handle()), 0);
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    RECT client = {};
    GetClientRect(handle(), &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    DrawIcon(dc.handle(), x, y, icon);
}

HICON UpdateDialog::onQueryDragIcon() {
    return icon;
}

void UpdateDialog::onConnect() {
    if (device.open(deviceSelector) != 0) {
        // The text may hold a percent sign: it is never a format.
        logResult("%s", device.getLastMessage().c_str());
        return;
    }
    const DeviceIdentity& identity = device.getIdentity();
    try {
        logMessage(dialoglog::connected);
        logMessage("%s", serialNumberLine(identity).c_str());
        logResult("%s", deviceRevisionLine(identity.revision).c_str());
    } catch (const std::bad_alloc&) {
        // Out of memory: the step stays at Connect, so the device must not stay open (a later
        // Connect would only hear that it is already connected).
        device.close();
        throw;
    }

    enableAndShow(openButton, true);
    enableAndShow(connectButton, false);
    gotoControl(openButton);
}

void UpdateDialog::onOpen() {
    std::wstring chosen;
    if (!chooseFileToOpen(handle(), firmwareFilter, firmwareDialogTitle, chosen))
        return;
    firmwarePath = chosen;

    FirmwareImage image;
    if (image.open(firmwarePath) == 0) {
        logResult(dialoglog::fileCannotOpen);
        return;
    }
    if (!isCompatible(image.getTargetSerial(), image.getRevision(), device.getIdentity())) {
        image.close();
        logResult(dialoglog::incompatible);
        return;
    }
    const std::string notes = notesForLog(image.getNotes());
    if (notes.empty()) {
        logResult("%s", imageRevisionLine(image.getRevision()).c_str());
    } else {
        logMessage("%s", imageRevisionLine(image.getRevision()).c_str());
        logResult(dialoglog::notesFormat, notes.c_str());
    }
    // The transfer opens the file again by its path.
    image.close();

    enableAndShow(updateButton, true);
    enableAndShow(openButton, false);
    gotoControl(updateButton);
}
