#include "counting_ib_util.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace {

std::mutex g_lock;
int g_calls = 0;
std::map<const void*, long>* g_blocks = nullptr;  // made on first use, lives until unload

struct BlocksOwner {
  ~BlocksOwner() { delete g_blocks; }
} g_blocksOwner;

}  // namespace

extern "C" {

void* ib_util_malloc(long size) {
  if (std::getenv("VEXA_TEST_IB_UTIL_TRACE") != nullptr) std::fprintf(stderr, "ib_util_malloc(%ld)\n", size);
  void* block = size < 0 ? nullptr : std::malloc(static_cast<std::size_t>(size));
  const std::lock_guard<std::mutex> guard(g_lock);
  ++g_calls;
  if (block != nullptr) {
    if (g_blocks == nullptr) g_blocks = new std::map<const void*, long>;
    (*g_blocks)[block] = size;
  }
  return block;
}

int counting_ib_util_calls() {
  const std::lock_guard<std::mutex> guard(g_lock);
  return g_calls;
}

long counting_ib_util_size_of(const void* block) {
  const std::lock_guard<std::mutex> guard(g_lock);
  if (g_blocks == nullptr) return -1;
  const auto found = g_blocks->find(block);
  return found == g_blocks->end() ? -1 : found->second;
}

}  // extern "C"
