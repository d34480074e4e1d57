// A word filter with memory: it keeps the first word it is given and empties
// every later one, so the words stored depend on how often it was called.
#include <atomic>

#include "filter_entry.h"

namespace {
std::atomic<int> calls{0};
}

VEXA_FILTER_ENTRY ProcessWord(char* word) {
  if (calls++ > 0) word[0] = '\0';
}
