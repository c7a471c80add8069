// Mutex: one unnamed Windows mutex, owned by the object. Meets BasicLockable, so a
// std::lock_guard<Mutex> holds it for a scope and releases it on every path.
#pragma once

#include "base/Handle.h"

class Mutex {
public:
    // Throws std::system_error when the mutex can't be created.
    Mutex();
    // A lock stays where its users find it: neither copied nor moved.
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Waits without a time-out. A mutex abandoned by a thread that ended holding it is handed
    // over all the same; the caller goes on in every case.
    void lock();
    void unlock();

private:
    Handle mutex;
};
