// The update sequence, run on the worker thread: send the firmware file, follow status word 0
// through the device's stages (1 before verification, 2 verifying, 3 updating, 0 done), log
// each stage, send the final request on success and close the device on every path.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class FirmwareWriter;

// The lines the sequence logs (code page 932, each with its own line end).
namespace sequencelog {

constexpr char sending[] = "ファームウェアを送信しています.\r\n";
constexpr char verifying[] = "ファームウェアの検証中です.\r\n";
constexpr char updating[] = "ファームウェアの更新中です.\r\n";
constexpr char succeeded[] = "ファームウェアの更新に成功しました.\r\n";
constexpr char failed[] = "ファームウェアの更新に失敗しました.\r\n";

} // namespace sequencelog

// Where the sequence's lines go: the dialog's logMessage, from the worker thread. Each line is a
// whole log line with its "\r\n".
using UpdateLog = std::function<void(const char* line)>;

// How long the device may stay in one stage. Verifying and writing the firmware take the
// device seconds; this leaves room for a slow one, and a device that hangs ends in the
// failure text instead of keeping the dialog in its Updating state for ever.
constexpr DWORD stageTimeout = 5 * 60 * 1000;

// Returns sendFile's negative result when the transfer failed, otherwise 0; success and
// failure of the device's own update show in the log, and in `succeeded` when given.
int runUpdateSequence(FirmwareWriter& device, const std::wstring& firmwarePath,
                      const UpdateLog& log, bool* succeeded = nullptr);
