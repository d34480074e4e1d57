// TPrefixFilter: a quick, exact "no" for lookups that cannot match. A text
// matches an entry only where the entry is at least as long and its first
// bytes equal the text's without regard to case; so a text whose first
// letter, first two letters or length fit no entry needs no hashing at all.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>

namespace vexa {

class TPrefixFilter {
 public:
  // `upper` is the code page's table of capitals (platform::UpperCaseTable).
  explicit TPrefixFilter(const unsigned char* upper) : upper_(upper) {}

  // Notes an entry, stored in capitals.
  void Add(const std::string& entry) {
    if (entry.empty()) return;
    const unsigned char first = Capital(entry[0]);
    if (entry.size() > longest_[first]) longest_[first] = entry.size();
    if (entry.size() >= 2) firstTwo_.set(PairIndex(first, Capital(entry[1])));
  }

  void Clear() {
    longest_.fill(0);
    firstTwo_.reset();
  }

  // False when no entry noted can match the `length` bytes at `text`.
  bool MayMatch(const char* text, std::size_t length) const {
    if (length == 0) return true;  // the empty text: left to the lookup
    const unsigned char first = Capital(text[0]);
    if (length > longest_[first]) return false;
    return length == 1 || firstTwo_[PairIndex(first, Capital(text[1]))];
  }

  // The same answer for a text of at least one byte that is followed by one
  // more readable byte (a chunk and the blank or NUL that ends it), worked
  // out without a branch: a text's length and its first two bytes are
  // anybody's guess, while the answer is nearly always false.
  bool MayMatchFollowed(const char* text, std::size_t length) const {
    const unsigned char first = Capital(text[0]);
    const bool secondFits = firstTwo_[PairIndex(first, Capital(text[1]))];
    return (length <= longest_[first]) & ((length == 1) | secondFits);
  }

  // False when no chunk that starts at `text` can match an entry, whatever
  // its length: true wherever MayMatchFollowed is, for any length that ends
  // the chunk at a byte 0x00..0x20. Needs no chunk end, only the two bytes
  // at `text`. REQUIRES: both are readable.
  bool MayMatchChunkAt(const char* text) const {
    const unsigned char first = Capital(text[0]);
    const bool endsAfterOne = static_cast<unsigned char>(text[1]) <= 0x20;
    const bool firstFits = longest_[first] != 0;
    const bool secondFits = firstTwo_[PairIndex(first, Capital(text[1]))];
    return secondFits | (endsAfterOne & firstFits);
  }

 private:
  unsigned char Capital(char byte) const { return upper_[static_cast<unsigned char>(byte)]; }
  static std::size_t PairIndex(unsigned char first, unsigned char second) {
    return std::size_t{first} << 8 | second;
  }

  const unsigned char* upper_;
  std::array<std::size_t, 256> longest_{};  // the longest entry by its first capital
  std::bitset<65536> firstTwo_;             // the first two capitals of entries of two bytes or more
};

}  // namespace vexa
