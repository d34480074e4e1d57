#include "config/word_lookup_table.h"

namespace vexa {

TWordKind TWordLookupTable::LookupWord(const char* /*text*/, std::size_t /*length*/) const {
  // No word list is loaded yet, so nothing is listed.
  return wkNone;
}

}  // namespace vexa
