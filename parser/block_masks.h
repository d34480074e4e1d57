// What the scanner needs to know of each byte, worked out for 64 bytes at a
// time as two bit masks (bit i for byte i): whether the byte is a word
// character, and whether it is a blank (0x00..0x20), where a chunk ends.
// Finding the next run, or its end, is then a count of trailing zeros
// instead of a loop over the bytes whose exit the processor cannot guess.
//
// BestBlockClassifier picks, once, the fastest way the processor allows: AVX2
// (tested at run time), else SSE2 for the blanks (always there on x86-64),
// else plain C++. All of them give the same masks; each is declared here so
// that tests can hold them against one another.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/char_set.h"

namespace vexa {

inline constexpr std::size_t kBlockSize = 64;

struct TBlockMasks {
  std::uint64_t word = 0;   // a member of the word character set, and not NUL
  std::uint64_t blank = 0;  // 0x00..0x20, NUL included
};

using TClassifyBlockFunction = TBlockMasks (*)(const unsigned char* block, const TCharSet& set);

// The fastest of the ways below that this build and processor have.
TClassifyBlockFunction BestBlockClassifier();

// The masks of the kBlockSize bytes at `block`, each way by itself. A way the
// build or the processor lacks is null.
TBlockMasks ClassifyBlockPortable(const unsigned char* block, const TCharSet& set);
extern const TClassifyBlockFunction kClassifyBlockSse2;
TClassifyBlockFunction ClassifyBlockAvx2IfSupported();

}  // namespace vexa
