// The system's error texts in code page 932, the code page of every text the program shows.
//
// The system keeps its texts in UTF-16, in the language of the installed Windows; FormatMessageA
// would give them in the system's ANSI code page, which the log would then misread unless that
// code page is 932. toCodePage932 converts them once, here:
// 1. a character that code page 932 has keeps its bytes, so a Japanese system's texts come out
//    exactly as FormatMessageA gives them there;
// 2. any other character becomes its best fit in the code page when that fit is plain ASCII
//    ("ü" becomes "u"), else "?". Fits to full-width or Japanese characters (« to ≪, · to ・)
//    are refused: they would put stray Japanese characters into an English or German text.
#pragma once

#include <string>

std::string toCodePage932(const std::wstring& text);
