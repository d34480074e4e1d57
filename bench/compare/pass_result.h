// What one pass of a contender over a language's documents gives: the words
// it produced and a checksum of them, which must come out the same in every
// round (and keeps the compiler from dropping work whose result is unused).
#pragma once

#include <cstdint>

namespace vexa::compare {

struct PassResult {
  std::int64_t words = 0;
  std::uint64_t checksum = 0;

  bool operator==(const PassResult& other) const { return words == other.words && checksum == other.checksum; }
  bool operator!=(const PassResult& other) const { return !(*this == other); }
};

}  // namespace vexa::compare
