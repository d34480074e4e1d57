// TShortWordKinds: the word lookup table's answers for short upper-cased
// words, worked out while the table is built.
//
// The table finds a text only where an entry begins with it: the same bytes
// without regard to case, for as many bytes as the text has. Entries are kept
// upper-cased; so for a text that is upper-cased as well, "without regard to
// case" means "the very same bytes", and every such text the table can find
// is a prefix of an entry. Each of these prefixes is looked up once, by the
// table itself, when the table is built, and its answer kept here; any other
// upper-cased text answers wkNone. Word intake, which looks up every run in
// upper case, then needs one probe of a small hash table that compares whole
// keys, instead of the hash and the probes of the table's own lookup.
//
// Words of up to kMaxLength bytes are kept, each as a 16-byte key: its bytes,
// zeros after them, and its length in the last byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "config/word_kind.h"

namespace vexa {

class TShortWordKinds {
 public:
  static constexpr std::size_t kMaxLength = 15;
  static constexpr std::size_t kKeySize = 16;

  struct Key {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    bool operator==(const Key& other) const { return low == other.low && high == other.high; }
  };

  // The key of the `length` bytes at `padded`, which must be followed by
  // zeros up to byte kKeySize. REQUIRES: 1 <= length <= kMaxLength.
  static Key KeyOf(const char* padded, std::size_t length) {
    unsigned char bytes[kKeySize];
    std::memcpy(bytes, padded, kKeySize);
    bytes[kKeySize - 1] = static_cast<unsigned char>(length);
    Key key;
    std::memcpy(&key.low, bytes, 8);
    std::memcpy(&key.high, bytes + 8, 8);
    return key;
  }

  bool IsEmpty() const { return slots_.empty(); }

  void Clear() {
    slots_.clear();
    kinds_.clear();
    mask_ = 0;
    shift_ = 63;
  }

  // Makes room for `count` words; the table is then at most half full.
  void Reserve(std::size_t count) {
    unsigned bits = 4;
    while ((std::size_t{1} << bits) < 2 * count) ++bits;
    const std::size_t size = std::size_t{1} << bits;
    slots_.assign(size, Key{});
    kinds_.assign(size, wkNone);
    mask_ = size - 1;
    shift_ = 64 - bits;
  }

  // Enters a word, unless it is there already. REQUIRES: Reserve was called
  // for at least as many words as are entered.
  void Add(const Key& key, TWordKind kind) {
    std::size_t slot = SlotOf(key);
    while (!(slots_[slot] == Key{})) {
      if (slots_[slot] == key) return;
      slot = (slot + 1) & mask_;
    }
    slots_[slot] = key;
    kinds_[slot] = kind;
  }

  // True, with the answer kept for it, when the word is the prefix of an
  // entry; false when it is none (and the answer is then wkNone).
  bool Find(const Key& key, TWordKind& kind) const {
    if (slots_.empty()) return false;
    for (std::size_t slot = SlotOf(key);; slot = (slot + 1) & mask_) {
      const Key& held = slots_[slot];
      if (held == key) {
        kind = kinds_[slot];
        return true;
      }
      if (held == Key{}) return false;  // no real key is all zeros: its length byte is not 0
    }
  }

 private:
  // The top bits of a product depend on every bit of the key.
  std::size_t SlotOf(const Key& key) const {
    const std::uint64_t mixed = (key.low * 0x9E3779B97F4A7C15u) ^ (key.high * 0xC2B2AE3D27D4EB4Fu);
    return static_cast<std::size_t>(mixed >> shift_);
  }

  std::vector<Key> slots_;
  std::vector<TWordKind> kinds_;
  std::size_t mask_ = 0;
  unsigned shift_ = 63;
};

}  // namespace vexa
