#include "sim/StateFile.h"

#include "base/Handle.h"

bool readState(const std::wstring& path, Revision& revision, std::string& error) {
    std::string text;
    DWORD code = 0;
    if (!readTextFile(path, text, code)) {
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        error = "can't read it (error " + std::to_string(code) + ")";
        return false;
    }
    const auto applyTo = [&revision](const std::string& key, const std::string& value,
                                     std::string& problem) {
        if (key == "revision" && parseRevision(value, revision))
            return true;
        problem = "expected revision = major, minor, suffix, reserved";
        return false;
    };
    return parseSettings(text, applyTo, error);
}

bool writeState(const std::wstring& path, const Revision& revision) {
    const std::string text =
        "# Simulated device state: the installed firmware revision (major, minor, suffix, "
        "reserved)\nrevision = " +
        revisionText(revision) + "\n";
    const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    {
        Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file ||
            !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return false;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
