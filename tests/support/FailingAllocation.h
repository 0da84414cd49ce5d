// Out of memory on demand: the test program's operator new fails the calling thread's n-th
// allocation from now, so a test can walk a failure through every allocation of an operation.
#pragma once

#include <functional>

namespace testsupport {

// Makes the n-th allocation of this thread from now (0: the next one) throw std::bad_alloc; a
// negative n switches the failure off. Only the program that links FailingAllocation.cpp fails.
void FailAllocationAfter(int n);

// Runs the call with its first, second, ... allocation failing in turn, and calls check after each
// run (failed is true when an allocation was made to fail). Stops after the first run in which no
// allocation failed; returns how many runs failed one. A limit guards against an endless walk.
int ForEachFailingAllocation(const std::function<void()>& call, const std::function<void(bool failed)>& check,
                             int limit = 10000);

}  // namespace testsupport
