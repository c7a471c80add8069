// The system's file-open dialog for a firmware file.
#pragma once

#include <windows.h>

#include <string>

// Shows the modal file-open dialog owned by `owner`: filters "Firmware Files (*.dat)"
// (preselected) and "All Files (*.*)", one existing file. True with the chosen full path in
// `path` when the user confirms; false when the dialog is cancelled or fails.
bool chooseFirmwareFile(HWND owner, std::wstring& path);
