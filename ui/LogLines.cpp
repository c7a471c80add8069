#include "ui/LogLines.h"

#include "base/TextFormat.h"

std::string serialNumberLine(const DeviceIdentity& identity) {
    return formatText(dialoglog::serialNumberFormat, static_cast<unsigned>(identity.serial24()));
}

std::string deviceRevisionLine(const FirmwareRevision& revision) {
    return formatText(dialoglog::deviceRevisionFormat, static_cast<unsigned>(revision.major),
                      static_cast<unsigned>(revision.minor), static_cast<int>(revision.suffix));
}

std::string imageRevisionLine(const FirmwareRevision& revision) {
    return formatText(dialoglog::imageRevisionFormat, static_cast<unsigned>(revision.major),
                      static_cast<unsigned>(revision.minor), static_cast<int>(revision.suffix));
}

std::string notesForLog(const std::string& notes) {
    std::string copy;
    copy.reserve(notes.size());
    for (char c : notes) {
        if (c == '\0')
            break;
        if (c == '\n')
            copy += '\r';
        copy += c;
    }
    return copy;
}
