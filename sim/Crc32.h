// CRC-32 as Ethernet, zip and PNG use it (reflected polynomial 0xEDB88320, initial and final
// value 0xFFFFFFFF); "123456789" gives 0xCBF43926. The simulator reports the CRC of the data
// it received; tests compute the same over the file they sent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class Crc32 {
public:
    void update(const void* data, std::size_t length) {
        static const std::array<std::uint32_t, 256> table = makeTable();
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        std::uint32_t crc = state;
        for (std::size_t i = 0; i < length; ++i)
            crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
        state = crc;
    }
    std::uint32_t value() const { return ~state; }

    static std::uint32_t of(const void* data, std::size_t length) {
        Crc32 crc;
        crc.update(data, length);
        return crc.value();
    }

private:
    static std::array<std::uint32_t, 256> makeTable() {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }

    std::uint32_t state = 0xFFFFFFFF;
};
