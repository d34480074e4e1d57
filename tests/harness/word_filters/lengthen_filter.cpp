// A word filter that lengthens every word by "+MORE" and writes small letters.
#include <cstring>

#include "filter_entry.h"

VEXA_FILTER_ENTRY ProcessWord(char* word) {
  std::strcat(word, "+more");
}
