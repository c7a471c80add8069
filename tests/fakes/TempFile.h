// TempFile: a file in the temporary folder with given bytes, deleted at the end of the test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TempFile {
public:
    explicit TempFile(const std::vector<std::uint8_t>& bytes, const std::wstring& suffix = L".dat");
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    const std::wstring& path() const { return filePath; }
    void remove();

private:
    std::wstring filePath;
};
