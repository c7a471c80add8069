#include "sim/Trace.h"

#include "platform/TextFormat.h"
#include "sim/Handle.h"
#include "sim/Settings.h"

#include <cstdarg>
#include <cstdint>

Trace Trace::fromEnvironment() {
    return Trace(environmentVariable(L"KOVSIM_TRACE"));
}

void Trace::write(const char* format, ...) const {
    if (path.empty())
        return;
    const DWORD lastError = GetLastError();
    va_list args;
    va_start(args, format);
    const std::string line =
        std::to_string(GetCurrentProcessId()) + " " + formatTextV(format, args) + "\n";
    va_end(args);
    // Append-only access: every write goes to the end of the file as one piece.
    UniqueHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) {
        DWORD written = 0;
        WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    SetLastError(lastError);
}

std::string handleText(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE)
        return "-1";
    return formatText("0x%llX",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
}
