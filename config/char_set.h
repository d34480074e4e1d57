// TCharSet: a set of byte values 0..255. Held as one byte per value, so that
// a membership test is a single load, the scanner's test for every byte.
#pragma once

#include <array>

namespace vexa {

class TCharSet {
 public:
  bool Contains(unsigned char byte) const { return members_[byte] != 0; }

  void Add(unsigned char byte) { members_[byte] = 1; }

  // Adds every byte from `low` to `high`, both included; nothing when low > high.
  void AddRange(unsigned char low, unsigned char high) {
    for (unsigned value = low; value <= high; ++value) Add(static_cast<unsigned char>(value));
  }

  bool operator==(const TCharSet& other) const { return members_ == other.members_; }
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
  std::array<unsigned char, 256> members_{};
};

}  // namespace vexa
