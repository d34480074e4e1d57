// A word filter that fails, with a C++ exception, on the word BAD.
#include <cstring>
#include <stdexcept>

#include "filter_entry.h"

VEXA_FILTER_ENTRY ProcessWord(char* word) {
  if (std::strcmp(word, "BAD") == 0) throw std::runtime_error("cannot process BAD");
  word[0] = '#';
}
