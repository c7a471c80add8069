// The device's vendor control requests, as the device layer sends them. Replies are 4-byte
// little-endian words.
#pragma once

enum VendorRequest : unsigned long {
    requestFinal = 0xB0,         // no data: the device runs the firmware it received
    requestConfiguration = 0xB1, // reply: the configuration word; bit 0 is high speed
    requestStatus = 0xB2,        // reply: status word 0, 1 or 2, chosen by the index
    requestControl = 0xB3,       // no data: index 0 arms a transfer (index 2 is not used)
    requestSerial = 0xB5,        // reply: the serial word
    requestRevision = 0xB6,      // reply: major, minor, suffix, reserved
};
