// The device's side of the wire: the vendor requests it answers, its pipes and packet sizes, the
// command block it takes and the stages of status word 0. Written here from the device's point
// of view and taken from nothing in the program, so that a wrong constant there shows as a
// refused request or block here instead of hiding behind the same constant.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wire {

// Control requests: direction 1 reads a 4-byte reply, least significant byte first; direction 0
// has no data stage.
constexpr DWORD deviceToHost = 1;
constexpr DWORD replyLength = 4;

constexpr DWORD requestFinal = 0xB0;         // run the firmware received
constexpr DWORD requestConfiguration = 0xB1; // reply: bit 0 is high speed
constexpr DWORD requestStatus = 0xB2;        // reply: status word 0, 1 or 2 (the index)
constexpr DWORD requestControl = 0xB3;       // index 0 arms a transfer, index 2 does nothing
constexpr DWORD requestSerial = 0xB5;        // reply: the serial word
constexpr DWORD requestRevision = 0xB6;      // reply: major, minor, suffix, reserved

// Pipes 0, 1 and 2; pipe 0 is never written.
constexpr DWORD pipeCount = 3;
constexpr DWORD dataPipe = 1;
constexpr DWORD commandPipe = 2;
constexpr std::uint64_t fullSpeedPacket = 64;
constexpr std::uint64_t highSpeedPacket = 512;

// The command block on pipe 2: a firmware transfer's starts with two bytes 0xFE and announces
// the data's length in bytes 4..7, least significant first.
constexpr DWORD commandBlockSize = 64;
constexpr std::uint8_t firmwareCommand = 0xFE;
constexpr int lengthOffset = 4;

// Status word 0.
constexpr DWORD statusIdle = 0; // also: the update has succeeded
constexpr DWORD statusBusy = 1; // armed, receiving, and the first stage after the data
constexpr DWORD statusVerifying = 2;
constexpr DWORD statusUpdating = 3;

} // namespace wire
