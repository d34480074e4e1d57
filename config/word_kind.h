#pragma once

#include <cstdint>

namespace vexa {

// What the word lookup table knows of a word.
enum TWordKind : std::uint8_t {
  wkNone = 0,   // not listed
  wkStop = 1,   // a stop word
  wkToken = 2,  // a token, taken whole from the text
};

}  // namespace vexa
