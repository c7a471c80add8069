// The framework's standard error message boxes, captioned with the application's name
// (Application::name(); none without an application object). Each is modal, owned by `owner`
// so that it stays in front of that window until it is answered, returns when it is dismissed
// and may be called from any thread.
#pragma once

#include "base/File.h"

#include <windows.h>

// A file error in the standard words naming the file (FileException::message), OK button.
void showFileError(HWND owner, const FileException& error);

// Out of memory, OK button.
void showOutOfMemory(HWND owner);
