// UsbDevice: vendor control requests and the 10 ms status cache.
#include "device/UsbDevice.h"
#include "device/VendorRequest.h"
#include "platform/Clock.h"
#include "platform/kovusbd.h"

namespace {

constexpr DWORD deviceToHost = 1;
constexpr DWORD hostToDevice = 0;
constexpr DWORD replyLength = 4;

} // namespace

// One request with value 0; on refusal reports the library's last-error code and returns
// `failure` (the requests differ in what they return).
int UsbDevice::controlRequest(DWORD direction, DWORD request, DWORD index, DWORD length,
                              void* buffer, int failure) {
    if (KovControlRequest(deviceHandle, direction, 0, request, 0, index, length, buffer))
        return 0;
    reportError(USBERR_VENDOR_REQUEST, static_cast<int>(GetLastError()), 0);
    return failure;
}

int UsbDevice::sendFinal() {
    return controlRequest(hostToDevice, requestFinal, 0, 0, nullptr, -1);
}

int UsbDevice::sendControl(int index) {
    return controlRequest(hostToDevice, requestControl, static_cast<DWORD>(index), 0, nullptr,
                          USBERR_VENDOR_REQUEST);
}

int UsbDevice::sendControl0() {
    return sendControl(0);
}

int UsbDevice::sendControl2() {
    return sendControl(2);
}

int UsbDevice::querySerial(void* buffer) {
    return controlRequest(deviceToHost, requestSerial, 0, replyLength, buffer, -1);
}

int UsbDevice::queryRevision(void* buffer) {
    return controlRequest(deviceToHost, requestRevision, 0, replyLength, buffer, -1);
}

// The update sequence reads status word 0 every 10 ms, sleeping in between; the cache lets a
// request out only once the previous reply is 10 ms old. A failed request keeps the old time, so the next read
// asks again at once.
int UsbDevice::readStatus(int index) {
    if (platform::tickCount() - statusTime[index] < statusCacheMilliseconds)
        return static_cast<int>(statusWord[index]);

    clearError();
    if (!KovControlRequest(deviceHandle, deviceToHost, 0, requestStatus, 0,
                           static_cast<DWORD>(index), replyLength, &statusWord[index])) {
        reportError(USBERR_VENDOR_REQUEST, static_cast<int>(GetLastError()), 0);
        return USBERR_VENDOR_REQUEST;
    }
    statusTime[index] = platform::tickCount();
    return static_cast<int>(statusWord[index]);
}

int UsbDevice::readStatus0() {
    return readStatus(0);
}

int UsbDevice::readStatus1() {
    return readStatus(1);
}

int UsbDevice::readStatus2() {
    return readStatus(2);
}
