// Screenshots of the X display the program runs on, taken with ImageMagick's `import` (a Linux
// program, which Wine starts like any other) and cropped to the windows of interest.
//
// 1. Screenshots shots(L"/build/x86_64/screenshots"); an empty folder takes no pictures.
// 2. shots.save(L"connect", {dialog}) writes connect.png, cropped to the dialog with a margin.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

class Screenshots {
public:
    // `unixFolder`: where the PNG files go, as a Linux path.
    explicit Screenshots(std::wstring unixFolder) : folder(std::move(unixFolder)) {}

    bool enabled() const { return !folder.empty(); }
    // Saves NAME.png showing the bounding box of `windows`; true once the file is written.
    bool save(const std::wstring& name, const std::vector<HWND>& windows) const;

private:
    std::wstring folder;
};

// The Windows path (drive Z:) of a Linux path.
std::wstring windowsPathOf(const std::wstring& unixPath);

} // namespace support
