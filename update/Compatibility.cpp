#include "update/Compatibility.h"

bool isCompatible(std::uint32_t imageTargetSerial, const FirmwareRevision& imageRevision,
                  const DeviceIdentity& device) {
    const std::uint32_t imageSerial = imageTargetSerial & DeviceIdentity::serialMask;
    if (imageSerial != 0)
        return imageSerial == device.serial24();
    return imageRevision.suffix == device.revision.suffix;
}
