// Error codes of the device link and the update. All negative; 0 means success.
#pragma once

enum UsbErrorCode : int {
    USBERR_ALREADY_OPENED = -65537, // open on an open connection
    USBERR_NOT_OPENED = -65538,     // close on a connection that is not open
    USBERR_OPEN_DEVICE = -65539,    // the driver library could not open the device
    USBERR_OPEN_PIPE = -65540,      // the driver library could not open a pipe
    USBERR_READ_PIPE = -65541,      // a pipe read failed (nothing here reads a pipe)
    USBERR_WRITE_PIPE = -65542,     // a pipe write failed or timed out
    USBERR_VENDOR_REQUEST = -65543, // a control request failed
    USBERR_ZERO_LENGTH = -65544,    // a transfer returned a zero-length packet (not raised here)
    USBERR_TIMEOUT = -65545,        // waitForIdle's result, unreported; no step calls it
};

enum UpdateErrorCode : int {
    UPDERR_FILE_BROKEN = -100, // the firmware file is damaged
    UPDERR_STATUS = -101,      // a device status code: the detail is the code
    UPDERR_ABORTED = -102,     // the update was aborted
};
