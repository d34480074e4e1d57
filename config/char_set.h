// TCharSet: a set of byte values 0..255. Held as one byte per value, so that
// a membership test is a single load, the scanner's test for every byte; and
// once more as two 16-byte tables by the bytes' low and high halves, from
// which vector code tests 32 bytes at once (parser/block_masks.h).
#pragma once

#include <array>
#include <cstdint>

namespace vexa {

class TCharSet {
 public:
  bool Contains(unsigned char byte) const { return members_[byte] != 0; }

  void Add(unsigned char byte) {
    members_[byte] = 1;
    const unsigned high = byte >> 4;
    auto& rows = high < 8 ? lowerRows_ : upperRows_;
    rows[byte & 0x0Fu] = static_cast<std::uint8_t>(rows[byte & 0x0Fu] | 1u << (high & 7u));
  }

  // Adds every byte from `low` to `high`, both included; nothing when low > high.
  void AddRange(unsigned char low, unsigned char high) {
    for (unsigned value = low; value <= high; ++value) Add(static_cast<unsigned char>(value));
  }

  // Byte b is a member when bit (b >> 4) & 7 of entry b & 0x0F is set, in
  // LowerRows for b < 0x80 and in UpperRows for the others.
  const std::array<std::uint8_t, 16>& LowerRows() const { return lowerRows_; }
  const std::array<std::uint8_t, 16>& UpperRows() const { return upperRows_; }

  bool operator==(const TCharSet& other) const { return members_ == other.members_; }
  bool operator!=(const TCharSet& other) const { return !(*this == other); }

  // The built-in word characters, those kDefaultWordSet describes
  // (config/word_set.h): digits, Latin capital and small letters, and the
  // underscore.
  static TCharSet DefaultWordCharacters();

 private:
  std::array<unsigned char, 256> members_{};
  std::array<std::uint8_t, 16> lowerRows_{};
  std::array<std::uint8_t, 16> upperRows_{};
};

}  // namespace vexa
