#include "sim/Trace.h"

#include "base/Handle.h"
#include "base/TextFormat.h"
#include "sim/Settings.h"

#include <cstdarg>
#include <cstdint>
#include <cwctype>

namespace {

// The name of a mutex that every process appending to `path` shares: the full path, upper
// case, hashed (FNV-1a), since a mutex name may not hold backslashes.
std::wstring appendMutexName(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    std::wstring name = length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : path;
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(c));
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : name)
        hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
    return L"Local\\kovsim-trace-" + std::to_wstring(hash);
}

} // namespace

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
    // Append-only access makes each write one piece at the end of the file on Windows; Wine
    // seeks to the end and writes, which two processes can interleave, so a mutex named after
    // the file makes the append one step for every thread and process.
    Handle mutex(CreateMutexW(nullptr, FALSE, appendMutexName(path).c_str()));
    const DWORD waited = mutex ? WaitForSingleObject(mutex.get(), INFINITE) : WAIT_FAILED;
    {
        Handle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file)
            WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        ReleaseMutex(mutex.get());
    SetLastError(lastError);
}

std::string handleText(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE)
        return "-1";
    return formatText("0x%llX",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
}
