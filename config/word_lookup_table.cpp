#include "config/word_lookup_table.h"

#include <algorithm>

#include "config/trim.h"
#include "config/word_hash.h"
#include "platform/platform.h"

namespace vexa {
namespace {

std::string TrimmedUpperCase(const std::string& entry) {
  std::string result(Trimmed(entry));
  platform::UpperCase(result.data(), result.size());
  return result;
}

// Beyond this many prefixes the short words' answers would cost more memory
// than they save time: lists that long are looked up the plain way.
constexpr std::size_t kMaxShortWordPrefixes = 256 * 1024;

// True when upper-casing leaves every capital as it is; then an upper-cased
// word and an entry are equal without regard to case only where their bytes
// are equal.
bool UpperCasingIsIdempotent() {
  const unsigned char* upper = platform::UpperCaseTable();
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (upper[upper[byte]] != upper[byte]) return false;
  }
  return true;
}

// Words are short: a plain loop beats a call to memcmp.
bool SameBytes(const char* a, const char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

void TWordLookupTable::Build(std::vector<std::string> words, std::size_t skipCount) {
  words_ = std::move(words);
  slots_.assign(2 * words_.size(), TWordSlot{0, 0, wkNone});
  if (!slots_.empty()) slotOf_ = TSlotModulo(static_cast<std::uint32_t>(slots_.size()));
  entries_.Clear();
  tokens_.Clear();
  for (std::size_t i = 0; i < words_.size(); ++i) {
    std::string& word = words_[i];
    word = TrimmedUpperCase(word);
    entries_.Add(word);
    if (i >= skipCount) tokens_.Add(word);
    InsertWord(i, i < skipCount ? wkStop : wkToken);
  }
  KeepTokenStarts();
  KeepShortWordKinds();
}

void TWordLookupTable::KeepTokenStarts() {
  tokenStarts_.reset();
  oneByteTokens_.reset();
  twoByteTokens_.reset();
  for (unsigned first = 0; first < 256; ++first) {
    // A byte with which no token begins (the most of them) leaves its row
    // false: no chunk starting with it passes the token prefix tests, and
    // the table finds a token only for a chunk that does.
    const char one = static_cast<char>(first);
    if (!tokens_.MayMatch(&one, 1)) continue;
    oneByteTokens_[first] = LookupWord(&one, 1) == wkToken;
    for (unsigned second = 0; second < 256; ++second) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
      tokenStarts_[first << 8 | second] = tokens_.MayMatchChunkAt(pair);
      if (tokens_.MayMatch(pair, 2)) twoByteTokens_[first << 8 | second] = LookupWord(pair, 2) == wkToken;
    }
  }
}

void TWordLookupTable::KeepShortWordKinds() {
  shortWords_.Clear();
  shortRuns_ = false;
  if (slots_.empty() || !UpperCasingIsIdempotent()) return;
  std::size_t prefixes = 0;
  for (const std::string& word : words_) prefixes += std::min(word.size(), TShortWordKinds::kMaxLength);
  if (prefixes > kMaxShortWordPrefixes) return;
  shortWords_.Reserve(prefixes);
  for (const std::string& word : words_) {
    char padded[TShortWordKinds::kKeySize] = {};
    for (std::size_t length = 1; length <= std::min(word.size(), TShortWordKinds::kMaxLength); ++length) {
      padded[length - 1] = word[length - 1];
      shortWords_.Add(TShortWordKinds::KeyOf(padded, length), LookupWord(padded, length));
    }
  }
  shortRuns_ = shortRunKeys_.Usable();
}

void TWordLookupTable::InsertWord(std::size_t listIndex, TWordKind kind) {
  const std::string& word = words_[listIndex];
  if (word.empty()) return;
  const std::uint32_t hash = WordHash(word.data(), word.size());
  std::uint32_t slot = slotOf_(hash);
  for (int probe = 0; probe < kMaxProbes; ++probe, slot = slotOf_(slot * slot + 1u)) {
    TWordSlot& entry = slots_[slot];
    if (entry.Hash == 0) {
      // A word whose hash is 0 is stored in a slot that still looks empty.
      entry = TWordSlot{hash, static_cast<std::int32_t>(listIndex), kind};
      return;
    }
    if (entry.Hash == hash && words_[static_cast<std::size_t>(entry.ListIndex)] == word) return;
  }
}

std::vector<std::size_t> TWordLookupTable::UnreachableEntries() const {
  std::vector<bool> reachable(words_.size(), false);
  for (const TWordSlot& slot : slots_) {
    if (slot.Hash != 0) reachable[static_cast<std::size_t>(slot.ListIndex)] = true;
  }
  std::vector<std::size_t> unreachable;
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (!reachable[i] && !words_[i].empty()) unreachable.push_back(i);
  }
  return unreachable;
}

TWordKind TWordLookupTable::LookupWord(const char* text, std::size_t length) const {
  if (slots_.empty() || !entries_.MayMatch(text, length)) return wkNone;
  const std::uint32_t hash = WordHash(text, length);
  std::uint32_t slot = slotOf_(hash);
  for (int probe = 0; probe < kMaxProbes; ++probe, slot = slotOf_(slot * slot + 1u)) {
    const TWordSlot& entry = slots_[slot];
    if (entry.Hash == 0) return wkNone;
    if (entry.Hash != hash) continue;
    const std::string& word = words_[static_cast<std::size_t>(entry.ListIndex)];
    if (word.size() < length) continue;
    // Entries are stored in capitals, and so are the words of word intake:
    // equal bytes settle most comparisons before the case-blind one.
    if (SameBytes(word.data(), text, length) || platform::EqualIgnoringCase(word.data(), text, length)) {
      return entry.Kind;
    }
  }
  return wkNone;
}

}  // namespace vexa
