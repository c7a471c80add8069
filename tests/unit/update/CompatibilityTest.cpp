// The compatibility rule between a firmware file's header and the device's identity.
#include "update/Compatibility.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

DeviceIdentity device(std::uint32_t serial, char suffix) {
    return DeviceIdentity{serial, FirmwareRevision{3, 4, static_cast<std::uint8_t>(suffix), 0}};
}

FirmwareRevision revision(int major, int minor, char suffix) {
    return FirmwareRevision{static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor),
                            static_cast<std::uint8_t>(suffix), 0};
}

TEST(Compatibility, ImageForEveryDeviceOfAVariantComparesTheSuffixOnly) {
    EXPECT_TRUE(isCompatible(0, revision(9, 9, 'b'), device(0x123456, 'b')));
    EXPECT_TRUE(isCompatible(0, revision(0, 1, 'b'), device(0x123456, 'b'))) << "older firmware";
    EXPECT_FALSE(isCompatible(0, revision(3, 4, 'c'), device(0x123456, 'b')));
    // Only the low 24 bits of the target serial count: these are zero too.
    EXPECT_TRUE(isCompatible(0xFF000000, revision(3, 4, 'b'), device(0x123456, 'b')));
}

TEST(Compatibility, ImageForOneDeviceComparesTheSerialOnly) {
    EXPECT_TRUE(isCompatible(0x123456, revision(1, 0, 'c'), device(0x123456, 'b')));
    EXPECT_FALSE(isCompatible(0x123457, revision(3, 4, 'b'), device(0x123456, 'b')));
    // A device word with a nonzero top byte matches on its low 24 bits.
    EXPECT_TRUE(isCompatible(0x123456, revision(3, 4, 'b'), device(0xAB123456, 'b')));
}

TEST(Compatibility, ShortHeaderResetValuesAreRefusedUnlessTheDeviceSerialIsAllOnes) {
    const FirmwareRevision reset = revision(0xFF, 0xFF, '\xFF');
    EXPECT_FALSE(isCompatible(0xFFFFFFFF, reset, device(0x123456, '\xFF')));
    EXPECT_TRUE(isCompatible(0xFFFFFFFF, reset, device(0x01FFFFFF, 'b')));
}

} // namespace
