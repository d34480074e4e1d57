// The word lookup table: an open-addressing hash table over the word list
// (the stop words, then the tokens), with twice as many slots as entries and
// at most eight probes per word. It answers, for some bytes of text, whether
// they are a listed stop word, a listed token, or neither.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/prefix_filter.h"
#include "config/short_word_key.h"
#include "config/short_word_kinds.h"
#include "config/slot_modulo.h"
#include "config/word_kind.h"
#include "platform/platform.h"

namespace vexa {

struct TWordSlot {
  std::uint32_t Hash;       // WordHash of the entry; 0 marks an empty slot
  std::int32_t ListIndex;   // the entry's position in the word list
  TWordKind Kind;
};

class TWordLookupTable {
 public:
  static constexpr int kMaxProbes = 8;

  // Builds the table over `words`: entries before `skipCount` are stop words,
  // the others tokens. Each entry is stored trimmed and upper-cased. An entry
  // that finds no slot within its probes is left out, and of two equal
  // entries the first keeps its slot.
  void Build(std::vector<std::string> words, std::size_t skipCount);

  // True when the table has no slots: every lookup answers wkNone.
  bool IsEmpty() const { return slots_.empty(); }

  // The kind of the `length` bytes at `text` (they need not end in a NUL),
  // compared without regard to case with entries of the same hash.
  TWordKind LookupWord(const char* text, std::size_t length) const;

  // LookupWord's answer for a word already upper-cased (every byte replaced
  // by its capital, platform::UpperCaseTable) whose buffer holds at least
  // TShortWordKinds::kKeySize bytes from `word` on, zeros after the word:
  // for a short word, from the answers kept when the table was built.
  TWordKind LookupUpperCaseWord(const char* word, std::size_t length) const {
    if (length - 1 < TShortWordKinds::kMaxLength && !shortWords_.IsEmpty()) {  // 1..kMaxLength bytes
      TWordKind kind = wkNone;
      shortWords_.Find(TShortWordKinds::KeyOf(word, length), kind);
      return kind;
    }
    return LookupWord(word, length);
  }

  // LookupUpperCaseWord's answer for the `length` bytes at `run` once they
  // are upper-cased, made from the raw bytes without upper-casing them into
  // a buffer; false when it cannot be made that way. `key` receives the run
  // upper-cased: its bytes, zeros after them, its length in the last byte.
  // REQUIRES: 16 bytes readable at `run`.
  bool LookupShortRun(const char* run, std::size_t length, TWordKind& kind, TShortWordKinds::Key& key) const {
    if (!shortRuns_ || length - 1 >= TShortWordKinds::kMaxLength || !shortRunKeys_.Make(run, length, key)) {
      return false;
    }
    kind = wkNone;
    shortWords_.Find(key, kind);
    return true;
  }

  // The key alone, with or without lists: the run upper-cased as above;
  // false when it cannot be made from the raw bytes.
  bool UpperCaseShortRun(const char* run, std::size_t length, TShortWordKinds::Key& key) const {
    return shortRunKeys_.Usable() && length - 1 < TShortWordKinds::kMaxLength && shortRunKeys_.Make(run, length, key);
  }

  // False when LookupWord cannot answer wkToken for these bytes: no token
  // entry begins with them (without regard to case). Cheaper than the
  // lookup, and most chunks of a text fail it.
  // REQUIRES: the byte after the `length` bytes is readable, as the byte
  // that ends a chunk is.
  bool MayBeToken(const char* text, std::size_t length) const {
    return length > 0 && tokens_.MayMatchFollowed(text, length);
  }

  // Whether LookupWord answers wkToken for the `length` bytes at `text`; for
  // one or two bytes from bits worked out when the table was built.
  bool IsToken(const char* text, std::size_t length) const {
    const auto first = static_cast<unsigned char>(text[0]);
    if (length == 1) return oneByteTokens_[first];
    if (length == 2) return twoByteTokens_[std::size_t{first} << 8 | static_cast<unsigned char>(text[1])];
    return LookupWord(text, length) == wkToken;
  }

  // False when no chunk that starts at `text` can be a token (then
  // MayBeToken is false for it, whatever its length): a test of the first
  // two bytes that needs no chunk end, read from a bit per pair of raw bytes
  // worked out when the table was built. REQUIRES: both bytes are readable.
  bool MayStartToken(const char* text) const {
    return tokenStarts_[std::size_t{static_cast<unsigned char>(text[0])} << 8 | static_cast<unsigned char>(text[1])];
  }

  // The word list as stored, and its table, for inspection.
  const std::vector<std::string>& Words() const { return words_; }
  const std::vector<TWordSlot>& Slots() const { return slots_; }

  // List indexes of the non-empty entries that no lookup can find: those that
  // found no slot within their probes, and those whose hash is 0.
  std::vector<std::size_t> UnreachableEntries() const;

  // The slot probed after slot `slot` in a table of `slotCount` slots: the
  // square wraps at 2^32 before the remainder. (Lookups compute the same
  // with a TSlotModulo.)
  static std::uint32_t NextSlot(std::uint32_t slot, std::uint32_t slotCount) {
    return (slot * slot + 1u) % slotCount;
  }

 private:
  void InsertWord(std::size_t listIndex, TWordKind kind);

  // Works out, for every raw byte and pair of bytes that can begin a token,
  // MayStartToken's and IsToken's answers.
  void KeepTokenStarts();

  // Looks up every prefix of up to TShortWordKinds::kMaxLength bytes of every
  // entry, once, for LookupUpperCaseWord.
  void KeepShortWordKinds();

  std::vector<std::string> words_;
  std::vector<TWordSlot> slots_;
  TSlotModulo slotOf_;  // x mod the number of slots
  // What entries, and token entries, begin with: most texts can be answered
  // without hashing.
  TPrefixFilter entries_{platform::UpperCaseTable()};
  TPrefixFilter tokens_{platform::UpperCaseTable()};
  std::bitset<65536> tokenStarts_;  // tokens_.MayMatchChunkAt of each pair of bytes
  std::bitset<256> oneByteTokens_;     // LookupWord(b) == wkToken for each byte b
  std::bitset<65536> twoByteTokens_;   // the same for each pair of bytes
  // Empty when the lists are too long for it, or when upper-casing a capital
  // could change it: LookupUpperCaseWord then asks LookupWord.
  TShortWordKinds shortWords_;
  TShortWordKeyMaker shortRunKeys_{platform::UpperCaseTable()};
  bool shortRuns_ = false;  // shortWords_ holds the answers and shortRunKeys_ can make keys
};

}  // namespace vexa
