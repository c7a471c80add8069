// The state file (KOVSIM_STATE): the firmware revision that request 0xB0 installed, kept across
// opens and processes. One setting, in the scenario file's format:
//     revision = 1, 2, 0x62, 0
#pragma once

#include "sim/Settings.h"

#include <string>

// Reads the revision. True and `revision` untouched when the file does not exist yet; false
// with `error` when it exists but can't be read or holds anything else.
bool readState(const std::wstring& path, Revision& revision, std::string& error);

// Replaces the file: written beside it and moved over it, so a reader never sees half a file.
bool writeState(const std::wstring& path, const Revision& revision);
