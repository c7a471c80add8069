#include "platform/Clock.h"

namespace platform {

DWORD tickCount() {
    return ::GetTickCount();
}

void sleep(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace platform
