// The device layer's error lines as the tests expect them, written once. The system's part
// comes from FormatMessageA, apart from the product's own formatting; it equals what the
// product logs where the system's code page is 932 or the text is plain ASCII. The end-to-end
// tests read these lines back from the log as UTF-16 (Texts.h, fromCodePage932).
#pragma once

#include <windows.h>

#include <string>

// The system's text for a Windows error code ("" when it has none).
inline std::string systemText(DWORD code) {
    char text[4096] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    return text;
}

// A refused control request, with the system's text `system` for its code.
inline std::string vendorRequestError(int code, const std::string& system) {
    return "Vendor request error. Code == " + std::to_string(code) + ": " + system;
}

inline std::string vendorRequestError(int code) {
    return vendorRequestError(code, systemText(static_cast<DWORD>(code)));
}

inline std::string openPipeError(int pipe, int code) {
    return "Fail to open pipe #" + std::to_string(pipe) + ". Code = " + std::to_string(code) +
           ": " + systemText(static_cast<DWORD>(code));
}

inline std::string writePipeError(int pipe, int code) {
    return "Write pipe#" + std::to_string(pipe) + " error. Code == " + std::to_string(code) + ": " +
           systemText(static_cast<DWORD>(code));
}
