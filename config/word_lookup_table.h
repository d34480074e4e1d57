// The word lookup table: answers, for some bytes of text, whether they are a
// listed stop word, a listed token, or neither.
#pragma once

#include <cstddef>

#include "config/word_kind.h"

namespace vexa {

class TWordLookupTable {
 public:
  // True when the table has no slots: every lookup answers wkNone, and text
  // splitting need not look for tokens at all.
  bool IsEmpty() const { return true; }

  // The kind of the `length` bytes at `text` (they need not end in a NUL).
  TWordKind LookupWord(const char* text, std::size_t length) const;
};

}  // namespace vexa
