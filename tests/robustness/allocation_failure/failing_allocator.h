// This program's global operator new and delete are replaced (every form
// but the over-aligned ones), so that a test can make exactly one chosen
// allocation fail, the n-th from a point it picks, and can count the blocks
// still live to find leaks. Allocations are counted on every thread; these
// tests run on one.
#pragma once

#include <cstdint>

namespace vexa::test {

// Arms the failure: the `n`-th allocation from now (n >= 1) fails, as
// std::bad_alloc from the throwing forms and null from the nothrow ones;
// every other allocation succeeds.
void FailAllocationNumber(std::uint64_t n);

// Disarms it. True when the armed allocation was reached and failed.
bool StopFailingAllocations();

// Blocks from operator new not yet deleted.
std::int64_t LiveAllocations();

}  // namespace vexa::test
