// A companion DLL of the simulated driver library: the stand-in for the helper or resource DLL
// that a real driver library loads from its own folder when it opens the device (scenario key
// `companion`). It does nothing; only where Windows finds it matters.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
