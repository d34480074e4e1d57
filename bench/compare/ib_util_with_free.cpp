// A server utility library that exports ib_util_free beside ib_util_malloc,
// as some servers' do, and counts the frees: the tests load it to check that
// the comparison gives results back through it when it is there.
#include <cstdlib>

namespace {

long frees = 0;

}  // namespace

extern "C" {

void* ib_util_malloc(long size) { return std::malloc(static_cast<std::size_t>(size)); }

int ib_util_free(void* pointer) {
  std::free(pointer);
  ++frees;
  return 0;
}

long ib_util_free_count() { return frees; }

}  // extern "C"
