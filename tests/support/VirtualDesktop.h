// VirtualDesktop: a Wine virtual desktop (a window of its own on the X display, in which Wine
// draws the window frames and captions) that the driver and the programs it starts share.
//
// 1. VirtualDesktop desktop(L"kelvo-1234", 800, 600); starts `explorer /desktop=...` and moves
//    the calling thread onto the new desktop, so that window look-ups see its windows.
// 2. Start programs with desktop.name() as STARTUPINFO::lpDesktop.
// 3. The destructor moves the thread back; explorer ends once nothing uses the desktop.
#pragma once

#include "ProgramProcess.h"

#include <windows.h>

#include <string>

namespace support {

class VirtualDesktop {
public:
    VirtualDesktop(std::wstring name, int width, int height);
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;
    ~VirtualDesktop();

    const std::wstring& name() const { return desktopName; }
    bool attached() const { return desktop != nullptr; }

private:
    std::wstring desktopName;
    ProgramProcess explorer;
    HDESK previous = nullptr;
    HDESK desktop = nullptr;
};

} // namespace support
