#include "base/Mutex.h"

#include <system_error>

Mutex::Mutex() : mutex(CreateMutexW(nullptr, FALSE, nullptr)) {
    if (!mutex)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateMutex");
}

void Mutex::lock() {
    WaitForSingleObject(mutex.get(), INFINITE);
}

void Mutex::unlock() {
    ReleaseMutex(mutex.get());
}
