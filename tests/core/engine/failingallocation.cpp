#include "failingallocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> failNext = false;

} // namespace

// A file of its own: the allocations of other code are not inlined here, so
// the compiler does not take malloc and free for a mismatch with new.
void* operator new(std::size_t size) {
    if (failNext.exchange(false))
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace tarvo::test {

NextAllocationFails::NextAllocationFails() {
    failNext = true;
}

NextAllocationFails::~NextAllocationFails() {
    failNext = false;
}

} // namespace tarvo::test
