// TCharSet: a set of byte values 0..255, one bit each.
#pragma once

#include <cstdint>

namespace vexa {

class TCharSet {
 public:
  bool Contains(unsigned char byte) const { return (bits_[byte >> 6] >> (byte & 63)) & 1u; }

  void Add(unsigned char byte) { bits_[byte >> 6] |= std::uint64_t{1} << (byte & 63); }

  // Adds every byte from `low` to `high`, both included; nothing when low > high.
  void AddRange(unsigned char low, unsigned char high) {
    for (unsigned value = low; value <= high; ++value) Add(static_cast<unsigned char>(value));
  }

  bool operator==(const TCharSet& other) const {
    for (int i = 0; i < 4; ++i) {
      if (bits_[i] != other.bits_[i]) return false;
    }
    return true;
  }
  bool operator!=(const TCharSet& other) const { return !(*this == other); }

  // The built-in word characters: digits, Latin capital and small letters,
  // and the underscore.
  static TCharSet DefaultWordCharacters() {
    TCharSet set;
    set.AddRange('0', '9');
    set.AddRange('A', 'Z');
    set.AddRange('a', 'z');
    set.Add('_');
    return set;
  }

 private:
  std::uint64_t bits_[4] = {0, 0, 0, 0};
};

}  // namespace vexa
