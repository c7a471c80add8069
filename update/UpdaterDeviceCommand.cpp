// UpdaterDevice: the command block on the command pipe.
#include "platform/Clock.h"
#include "update/UpdaterDevice.h"

namespace {

constexpr DWORD commandSettle = 2; // ms the device needs between the block and the data

} // namespace

int UpdaterDevice::sendCommand(int command, int subcommand, int parameter, DWORD length,
                               const char* name) {
    const CommandBlock block = CommandBlock::encode(
        static_cast<std::uint8_t>(command), static_cast<std::uint8_t>(subcommand),
        static_cast<std::uint16_t>(parameter), length, name);
    return writeCommandBlock(block);
}

int UpdaterDevice::writeCommandBlock(const CommandBlock& block) {
    resetPipe(commandPipe);
    if (writeCommand(block.bytes.data(), CommandBlock::size) < 0)
        return lastError;
    platform::sleep(commandSettle);
    return 0;
}
