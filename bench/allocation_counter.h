#pragma once
// Every allocation of the program counted: the global operator new
// replaced. Include it in one source file of a benchmark program only.

#include <atomic>
#include <cstdlib>
#include <new>

// Allocations so far.
inline std::atomic<long> gAllocations{0};

// The replaced allocator takes its memory from malloc, so its delete frees
// it there; GCC cannot see that pairing once new and delete are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t n) {
  ++gAllocations;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  ++gAllocations;
  return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
