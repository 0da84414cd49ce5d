#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations still allowed before the failure; negative: none planned.
thread_local int allowed = -1;
thread_local bool failedOne = false;

void* Allocate(std::size_t size) {
  if (allowed == 0) {
    allowed = -1;
    failedOne = true;
    throw std::bad_alloc();
  }
  if (allowed > 0) --allowed;
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace testsupport {

void FailAllocationAfter(int n) {
  allowed = n < 0 ? -1 : n;
  failedOne = false;
}

int ForEachFailingAllocation(const std::function<void()>& call, const std::function<void(bool failed)>& check,
                             int limit) {
  int failures = 0;
  for (int n = 0; n < limit; ++n) {
    FailAllocationAfter(n);
    try {
      call();
    } catch (...) {
      FailAllocationAfter(-1);
      throw;
    }
    bool failed = failedOne;
    FailAllocationAfter(-1);
    check(failed);
    if (!failed) break;
    ++failures;
  }
  return failures;
}

}  // namespace testsupport
