#include "framework/Mutex.h"

#include <system_error>

Mutex::Mutex() : mutex(CreateMutexW(nullptr, FALSE, nullptr)) {
    if (mutex == nullptr)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateMutex");
}

Mutex::~Mutex() {
    CloseHandle(mutex);
}

void Mutex::lock() {
    WaitForSingleObject(mutex, INFINITE);
}

void Mutex::unlock() {
    ReleaseMutex(mutex);
}
