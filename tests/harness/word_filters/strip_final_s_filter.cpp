// A word filter that rewrites: drops a final S (BOOKS -> BOOK), as a crude
// stemmer would.
#include <cstring>

#include "filter_entry.h"

VEXA_FILTER_ENTRY ProcessWord(char* word) {
  const std::size_t length = std::strlen(word);
  if (length > 1 && word[length - 1] == 'S') word[length - 1] = '\0';
}
