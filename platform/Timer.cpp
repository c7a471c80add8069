#include "platform/Timer.h"

namespace platform {

bool startTimer(HWND window, UINT_PTR id, UINT period) {
    return SetTimer(window, id, period, nullptr) != 0;
}

void stopTimer(HWND window, UINT_PTR id) {
    KillTimer(window, id);
}

} // namespace platform
