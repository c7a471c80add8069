// Every text conversion of the program, the simulator and the tests, side by side.
//
// The program keeps every text it shows as code page 932 bytes (its logs count those bytes);
// windows get UTF-16 through the wide Win32 functions, so the Japanese texts show correctly
// whatever the system code page is. The two conversions into code page 932 differ only in what
// they do with a character the code page lacks:
// 1. toCodePage932BestFit: the system's best fit, or the code page's default character; for
//    texts read back from our own windows, which hold nothing but code page 932 text.
// 2. toCodePage932AsciiFit: the best fit only when it is plain ASCII ("ü" becomes "u"), else
//    "?"; for the system's error texts, in the language of the installed Windows. Fits to
//    full-width or Japanese characters (« to ≪, · to ・) are refused: they would put stray
//    Japanese characters into an English or German text. A character the code page has keeps
//    its bytes, so a Japanese system's texts come out exactly as FormatMessageA gives them there.
// UTF-8 serves the simulator's trace and scenario files and the tests' messages.
#pragma once

#include <string>

// Code page 932 bytes to UTF-16. Invalid bytes become the code page's default character; a lead
// byte without its trail byte never takes the byte after it along.
std::wstring toWide(const std::string& text);

std::string toCodePage932BestFit(const std::wstring& text);
std::string toCodePage932AsciiFit(const std::wstring& text);

std::string toUtf8(const std::wstring& text);
// UTF-8 to UTF-16; false for bytes that are not UTF-8.
bool fromUtf8(const std::string& text, std::wstring& wide);
