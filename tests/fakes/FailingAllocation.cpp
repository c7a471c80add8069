#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> starved{0};

} // namespace

void starveThread(DWORD threadId) {
    starved.store(threadId);
}

DWORD starvedThread() {
    return starved.load();
}

// GetCurrentThreadId leaves the last-error code alone, which the code under test may be about
// to read.
void* operator new(std::size_t size) {
    const DWORD thread = starved.load();
    if (thread != 0 && thread == GetCurrentThreadId())
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
