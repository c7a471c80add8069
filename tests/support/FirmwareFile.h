// The firmware file of the tests and benchmarks, built in one place: the header (size byte,
// target serial number most significant byte first, the revision bytes, the notes), then
// pseudo-random data up to `size` bytes in all. A size below the header's cuts it short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// `headerSize` below 0 gives the header's true size, 8 plus the notes'.
inline std::vector<std::uint8_t> firmwareFile(std::size_t size, std::uint32_t target,
                                              const std::uint8_t (&revision)[4],
                                              const std::string& notes = "", int headerSize = -1) {
    std::vector<std::uint8_t> header = {
        static_cast<std::uint8_t>(headerSize < 0 ? 8 + notes.size() : headerSize),
        static_cast<std::uint8_t>(target >> 16),
        static_cast<std::uint8_t>(target >> 8),
        static_cast<std::uint8_t>(target),
        revision[0],
        revision[1],
        revision[2],
        revision[3]};
    header.insert(header.end(), notes.begin(), notes.end());
    std::vector<std::uint8_t> file(size);
    std::uint32_t state = static_cast<std::uint32_t>(size) * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        file[i] = i < header.size() ? header[i] : static_cast<std::uint8_t>(state >> 24);
    }
    return file;
}
