// A function of a newer Windows, looked up at run time in a system DLL the program has already
// loaded, so that the program still starts on a Windows without it.
#pragma once

#include <windows.h>

// `Function` is the WINAPI pointer type of the function; null where this Windows lacks it.
template <class Function> Function systemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    if (loaded == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}
