// TTokenList: the scans of text splitting (SkipNonWordChars, SkipWordChars,
// and the search for the byte that ends a chunk) over a text of known length,
// answered from the bit masks of block_masks.h instead of byte by byte. The
// answers are offsets into the text, the text's length standing for its
// terminating NUL; they are those of the byte loops in plain_token_list.h.
//
// The masks of one block are kept, so that all the runs of a block cost one
// classification between them. The text is read in place;
// only its last, partial block is copied, into a block of zeros, so that no
// byte past its NUL is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config/char_set.h"
#include "parser/block_masks.h"

namespace vexa {

class TTokenList {
 public:
  // REQUIRES: `text` holds `length` bytes, none of them NUL.
  TTokenList(const char* text, std::size_t length, const TCharSet& set,
              TClassifyBlockFunction classify = BestBlockClassifier())
      : text_(reinterpret_cast<const unsigned char*>(text)), length_(length), set_(set), classify_(classify) {
    Load(0);
  }

  std::size_t Length() const { return length_; }

  // The first word character at or after `from`; the length when none is left.
  std::size_t NextWordChar(std::size_t from) {
    // Most answers lie in the block at hand: a shift and a count of zeros.
    if (from - base_ < kBlockSize) {
      const std::uint64_t bits = masks_.word >> (from - base_);
      if (bits != 0) return from + LowestBit(bits);
    }
    return Search(from, &TBlockMasks::word, false);
  }

  // The first byte at or after `from` that is no word character (or the end).
  std::size_t NextNonWordChar(std::size_t from) {
    if (from - base_ < kBlockSize) {
      const std::uint64_t bits = ~masks_.word >> (from - base_);
      if (bits != 0) return from + LowestBit(bits);
    }
    return Search(from, &TBlockMasks::word, true);
  }

  // The first byte 0x00..0x20 at or after `from` (or the end): where a chunk ends.
  std::size_t NextBlank(std::size_t from) {
    if (from - base_ < kBlockSize) {
      const std::uint64_t bits = masks_.blank >> (from - base_);
      if (bits != 0) return from + LowestBit(bits);
    }
    return Search(from, &TBlockMasks::blank, false);
  }

 private:
  static std::size_t LowestBit(std::uint64_t bits) { return static_cast<std::size_t>(__builtin_ctzll(bits)); }

  // The same answers, block after block. The bytes of the last block past the
  // text read as NULs: blank, and no word character.
  std::size_t Search(std::size_t from, std::uint64_t TBlockMasks::*mask, bool inverted) {
    while (from < length_) {
      const std::size_t base = from - from % kBlockSize;
      if (base != base_) Load(base);
      const std::uint64_t bits = (inverted ? ~(masks_.*mask) : masks_.*mask) >> (from - base);
      if (bits != 0) return from + LowestBit(bits);
      from = base + kBlockSize;
    }
    return length_;
  }

  // Classifies the block that starts at offset `base`.
  void Load(std::size_t base) {
    if (length_ - base >= kBlockSize) {
      masks_ = classify_(text_ + base, set_);
    } else {
      unsigned char last[kBlockSize] = {};
      std::memcpy(last, text_ + base, length_ - base);
      masks_ = classify_(last, set_);
    }
    base_ = base;
  }

  const unsigned char* text_;
  std::size_t length_;
  const TCharSet& set_;
  TClassifyBlockFunction classify_;
  std::size_t base_ = 0;  // offset of the block whose masks are at hand
  TBlockMasks masks_;
};

}  // namespace vexa
