#include "platform/Thread.h"

namespace platform {

bool startThread(LPTHREAD_START_ROUTINE entry, void* argument) {
    HANDLE thread = CreateThread(nullptr, 0, entry, argument, 0, nullptr);
    if (thread == nullptr)
        return false;
    CloseHandle(thread);
    return true;
}

} // namespace platform
