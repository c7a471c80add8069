// TempFile: a file in the temporary folder with given bytes, deleted when it goes. Header only:
// the benchmarks use it too.
#pragma once

#include "base/Handle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class TempFile {
public:
    explicit TempFile(const std::vector<std::uint8_t>& bytes,
                      const std::wstring& suffix = L".dat") {
        static std::atomic<unsigned> counter{0};
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        filePath = std::wstring(folder) + L"kelvo-" + std::to_wstring(GetCurrentProcessId()) +
                   L"-" + std::to_wstring(counter++) + suffix;
        const Handle file(CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file && !bytes.empty())
            WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                      nullptr);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { remove(); }

    const std::wstring& path() const { return filePath; }
    void remove() { DeleteFileW(filePath.c_str()); }

private:
    std::wstring filePath;
};
