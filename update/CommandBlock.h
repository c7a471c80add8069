// CommandBlock: the 64 bytes written on the command pipe ahead of a data transfer.
// Multi-byte fields are little-endian; encode() lays the fields out byte by byte.
#pragma once

#include <array>
#include <cstdint>

struct CommandBlock {
    static constexpr std::size_t size = 64;
    static constexpr std::size_t nameSize = 32;
    static constexpr std::uint8_t firmwareCommand = 0xFE;

    std::array<std::uint8_t, size> bytes{}; // all zero

    // command at 0, subcommand at 1, parameter at 2..3, length at 4..7; the name field
    // (8..39) holds up to 32 bytes of `name` with no terminator when it is full; 40..63 zero.
    static CommandBlock encode(std::uint8_t command, std::uint8_t subcommand,
                               std::uint16_t parameter, std::uint32_t length, const char* name);
};
