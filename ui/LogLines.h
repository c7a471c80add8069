// The texts the main dialog writes to the log in the Connect and Open steps (code page 932,
// each with its own line end), and the lines built from the device's and the file's data. The
// update sequence's own lines are in update/UpdateSequence.h.
#pragma once

#include "update/FirmwareRevision.h"

#include <string>

namespace dialoglog {

constexpr char connected[] = "ハルモカと接続しました.\r\n";
constexpr char serialNumberFormat[] = "シリアル番号　　　：00%6.6x\r\n";
constexpr char deviceRevisionFormat[] = "ファームウェア　　：Rev.%d.%d%c\r\n";
constexpr char fileCannotOpen[] = "ファームウェアファイルが開けません.\r\n";
constexpr char incompatible[] = "このファームウェアに更新することは出来ません.\r\n";
constexpr char imageRevisionFormat[] = "更新ファームウェア：Rev.%d.%d%c\r\n";
constexpr char notesFormat[] = "%s\r\n";

} // namespace dialoglog

// "シリアル番号　　　：00" and the low 24 bits of the serial word in six lowercase hex digits.
std::string serialNumberLine(const DeviceIdentity& identity);

// The device's firmware revision, "ファームウェア　　：Rev.1.2b".
std::string deviceRevisionLine(const FirmwareRevision& revision);

// The file's firmware revision, "更新ファームウェア：Rev.1.2b".
std::string imageRevisionLine(const FirmwareRevision& revision);

// The release notes as logged: up to their first NUL, every LF turned into CR LF (a CR LF
// pair becomes CR CR LF). Empty notes give an empty text, which is not logged.
std::string notesForLog(const std::string& notes);
