#include "Screenshot.h"

#include "Polling.h"
#include "ProgramProcess.h"

namespace support {

namespace {

constexpr int margin = 8;

// Lets the program finish painting: everything it draws reaches the X display a moment after
// its message queue has run dry.
void letPaintSettle(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
    }
    Sleep(300);
}

} // namespace

std::wstring windowsPathOf(const std::wstring& unixPath) {
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

bool Screenshots::save(const std::wstring& name, const std::vector<HWND>& windows) const {
    if (!enabled() || windows.empty())
        return false;
    RECT box;
    GetWindowRect(windows.front(), &box);
    for (HWND window : windows) {
        RECT rect;
        GetWindowRect(window, &rect);
        UnionRect(&box, &box, &rect);
    }
    box.left = box.left > margin ? box.left - margin : 0;
    box.top = box.top > margin ? box.top - margin : 0;
    box.right += margin;
    box.bottom += margin;
    letPaintSettle(windows);

    std::wstring target = folder + L"/" + name + L".png";
    std::wstring partial = folder + L"/" + name + L".partial.png";
    DeleteFileW(windowsPathOf(target).c_str());
    // `import` runs as a Linux process, which Wine can't wait for (ProgramProcess): it writes
    // under another name and renames the file when done, and the driver waits for the final name.
    std::wstring crop = std::to_wstring(box.right - box.left) + L"x" +
                        std::to_wstring(box.bottom - box.top) + L"+" + std::to_wstring(box.left) +
                        L"+" + std::to_wstring(box.top);
    const ProgramProcess shell(L"/bin/sh", {}, L"",
                               L"-c \"import -window root -crop " + crop + L" +repage '" + partial +
                                   L"' && mv '" + partial + L"' '" + target + L"'\"");
    if (!shell.started())
        return false;
    std::wstring windowsTarget = windowsPathOf(target);
    return waitUntil(
        [&] { return GetFileAttributesW(windowsTarget.c_str()) != INVALID_FILE_ATTRIBUTES; },
        20000);
}

} // namespace support
