// PaintDC: BeginPaint/EndPaint for one WM_PAINT, as a scope.
#pragma once

#include <windows.h>

class PaintDC {
public:
    explicit PaintDC(HWND window) : window(window) { dc = BeginPaint(window, &paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window, &paint); }

    HDC handle() const { return dc; }

private:
    HWND window;
    PAINTSTRUCT paint = {};
    HDC dc;
};
