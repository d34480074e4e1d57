#include "failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vexa::test {
namespace {

std::atomic<std::uint64_t> g_failingNumber{0};  // 0: nothing armed
std::atomic<std::uint64_t> g_allocationsSinceArmed{0};
std::atomic<bool> g_failed{false};
std::atomic<std::int64_t> g_live{0};

void* Allocate(std::size_t size) noexcept {
  const std::uint64_t failing = g_failingNumber.load();
  if (failing != 0 && ++g_allocationsSinceArmed == failing) {
    g_failed = true;
    return nullptr;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++g_live;
  return block;
}

void Release(void* block) noexcept {
  if (block == nullptr) return;
  --g_live;
  std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

void FailAllocationNumber(std::uint64_t n) {
  g_failed = false;
  g_allocationsSinceArmed = 0;
  g_failingNumber = n;
}

bool StopFailingAllocations() {
  g_failingNumber = 0;
  return g_failed.load();
}

std::int64_t LiveAllocations() { return g_live.load(); }

}  // namespace vexa::test

void* operator new(std::size_t size) { return vexa::test::AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return vexa::test::AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return vexa::test::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return vexa::test::Allocate(size); }
void operator delete(void* block) noexcept { vexa::test::Release(block); }
void operator delete[](void* block) noexcept { vexa::test::Release(block); }
void operator delete(void* block, std::size_t) noexcept { vexa::test::Release(block); }
void operator delete[](void* block, std::size_t) noexcept { vexa::test::Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { vexa::test::Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { vexa::test::Release(block); }
