// Whether a firmware file may go to the connected device.
#pragma once

#include "update/FirmwareRevision.h"

#include <cstdint>

// A file for one device (nonzero target serial, low 24 bits) fits only the device with that
// serial number, whatever its variant; a file with target serial 0 fits every device whose
// revision suffix (variant) is the file's. Major and minor are never compared, so older
// firmware is accepted too.
bool isCompatible(std::uint32_t imageTargetSerial, const FirmwareRevision& imageRevision,
                  const DeviceIdentity& device);
