// What screen readers hear of UpdateDialog: the log's name, and every line appended to the
// log, spoken from the UI thread once the text is in the window, in order, without moving the
// focus. Where Windows can't announce, nothing is said and nothing else changes.
#include "base/TextConversion.h"
#include "platform/Accessibility.h"
#include "ui/UpdateDialog.h"

#include <new>

namespace {

// The name screen readers give the log, which has no label on the dialog: "log".
constexpr char logName[] = "ログ";

} // namespace

void UpdateDialog::giveLogToScreenReaders() {
    platform::setAccessibleName(logWindow.handle(), toWide(logName).c_str());
    logWindow.setAppendedHandler([this](const std::string& message) { announce(message); });
}

void UpdateDialog::announce(const std::string& message) {
    if (GetWindowThreadProcessId(handle(), nullptr) == GetCurrentThreadId()) {
        speak(message, lineEndsStep);
        return;
    }
    // The worker waits while the UI thread speaks, still holding the log's lock: the lines
    // keep their order, and the text stays valid.
    SendMessageW(handle(), announceMessage, lineEndsStep ? 1 : 0,
                 reinterpret_cast<LPARAM>(&message));
}

void UpdateDialog::onAnnounce(WPARAM endsStep, LPARAM message) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the text announce() sent
    speak(*reinterpret_cast<const std::string*>(message), endsStep != 0);
}

void UpdateDialog::speak(const std::string& message, bool endsStep) {
    // The line as the log shows it, without its line end; a message of line ends alone says
    // nothing.
    const std::string::size_type last = message.find_last_not_of("\r\n");
    if (last == std::string::npos)
        return;
    try {
        const std::wstring line = toWide(message.substr(0, last + 1));
        platform::announce(logWindow.handle(), line.c_str(),
                           endsStep ? platform::AnnouncementKind::stepDone
                                    : platform::AnnouncementKind::line);
    } catch (const std::bad_alloc&) {
        // The line is in the log all the same; the update must not stop for its announcement.
    }
}
