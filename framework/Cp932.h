// Code page 932 <-> UTF-16 at the window boundary.
//
// The program keeps every text it shows as code page 932 bytes (its logs count those bytes);
// windows get UTF-16 through the wide Win32 functions, so the Japanese texts show correctly
// whatever the system code page is.
#pragma once

#include <string>

// Code page 932 bytes to UTF-16. Invalid bytes become the code page's default character.
std::wstring toWide(const std::string& text);

// UTF-16 to code page 932 bytes. Characters the code page lacks become its default character.
std::string toNarrow(const std::wstring& text);
