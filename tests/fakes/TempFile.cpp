#include "TempFile.h"

#include <atomic>

TempFile::TempFile(const std::vector<std::uint8_t>& bytes, const std::wstring& suffix) {
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    filePath = std::wstring(folder) + L"kelvo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter++) + suffix;
    HANDLE h = CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

TempFile::~TempFile() {
    remove();
}

void TempFile::remove() {
    DeleteFileW(filePath.c_str());
}
