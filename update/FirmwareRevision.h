// FirmwareRevision and DeviceIdentity: the device's identity as it arrives in the 4-byte
// replies of requests 0xB6 and 0xB5, and as bytes 4..7 of a firmware file's header.
#pragma once

#include <cstdint>
#include <type_traits>

struct FirmwareRevision {
    std::uint8_t major;
    std::uint8_t minor;
    std::uint8_t suffix;   // character that marks the device variant
    std::uint8_t reserved; // never interpreted
};

struct DeviceIdentity {
    // As the device sends it, least significant byte first; the serial number is the low 24
    // bits, and every use masks it.
    std::uint32_t serialNumber;
    FirmwareRevision revision;

    std::uint32_t serial24() const { return serialNumber & serialMask; }
    static constexpr std::uint32_t serialMask = 0xFFFFFF;
};

static_assert(sizeof(FirmwareRevision) == 4, "a revision is four bytes");
static_assert(std::is_standard_layout<FirmwareRevision>::value, "read straight from the device");
static_assert(sizeof(DeviceIdentity::serialNumber) == 4, "the serial word is four bytes");
