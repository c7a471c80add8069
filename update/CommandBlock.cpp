#include "update/CommandBlock.h"

#include <cstring>

CommandBlock CommandBlock::encode(std::uint8_t command, std::uint8_t subcommand,
                                  std::uint16_t parameter, std::uint32_t length, const char* name) {
    CommandBlock block;
    std::uint8_t* b = block.bytes.data();
    b[0] = command;
    b[1] = subcommand;
    b[2] = static_cast<std::uint8_t>(parameter);
    b[3] = static_cast<std::uint8_t>(parameter >> 8);
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    if (name) {
        std::size_t n = 0;
        while (n < nameSize && name[n] != '\0')
            ++n;
        std::memcpy(b + 8, name, n);
    }
    return block;
}
