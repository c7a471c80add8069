#include "FakeThread.h"

#include "base/Handle.h"
#include "platform/Thread.h"

FakeThread& FakeThread::get() {
    static FakeThread fake;
    return fake;
}

DWORD FakeThread::runHeld() {
    LPTHREAD_START_ROUTINE entry = heldEntry;
    heldEntry = nullptr;
    return entry != nullptr ? entry(heldArgument) : 0;
}

namespace platform {

bool startThread(LPTHREAD_START_ROUTINE entry, void* argument) {
    FakeThread& fake = FakeThread::get();
    ++fake.starts;
    switch (fake.mode) {
    case FakeThread::refuse:
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    case FakeThread::hold:
        fake.heldEntry = entry;
        fake.heldArgument = argument;
        return true;
    case FakeThread::start:
        break;
    }
    // The thread is not kept: it ends by itself.
    const Handle thread(CreateThread(nullptr, 0, entry, argument, 0, nullptr));
    return static_cast<bool>(thread);
}

} // namespace platform
