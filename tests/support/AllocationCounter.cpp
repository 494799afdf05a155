#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
// Per thread: what other threads of the program do (test frameworks, helper threads
// of the code under test) is not the thread under test.
thread_local long tAllocations = 0;
}  // namespace

long AllocationCount() { return tAllocations; }

// The replacements below pair malloc with free on purpose; GCC cannot see that every
// operator new here ends in malloc and warns where inlined library code frees.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  ++tAllocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++tAllocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
