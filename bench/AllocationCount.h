// Counts the program's heap allocations by replacing the global operator
// new. Include it in exactly one file of a benchmark program.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

inline std::atomic<long> allocations{0};

// GCC cannot see that the pair below matches and warns about free after new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
