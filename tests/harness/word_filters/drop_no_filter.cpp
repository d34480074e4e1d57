// A word filter that empties every word starting with NO, so that it is dropped.
#include <cstring>

#include "filter_entry.h"

VEXA_FILTER_ENTRY ProcessWord(char* word) {
  if (std::strncmp(word, "NO", 2) == 0) word[0] = '\0';
}
