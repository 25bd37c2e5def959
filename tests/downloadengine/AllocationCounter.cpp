// Counts the program's live heap blocks, so that tests can tell that every record a run made was freed.
#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <new>

#include "AllocationCounter.h"

namespace {

volatile LONG liveBlocks = 0;

void* allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) {
        throw std::bad_alloc();
    }
    InterlockedIncrement(&liveBlocks);
    return block;
}

void release(void* block) {
    if (block) {
        InterlockedDecrement(&liveBlocks);
        std::free(block);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}

long enginetest::liveAllocations() {
    return InterlockedCompareExchange(&liveBlocks, 0, 0);
}
