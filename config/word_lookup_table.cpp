#include "config/word_lookup_table.h"

#include <algorithm>
#include <cstring>

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

}  // namespace

void TWordLookupTable::Build(std::vector<std::string> words, std::size_t skipCount) {
  words_ = std::move(words);
  slots_.assign(2 * words_.size(), TWordSlot{0, 0, wkNone});
  longestEntry_.fill(0);
  longestToken_.fill(0);
  for (std::size_t i = 0; i < words_.size(); ++i) {
    std::string& word = words_[i];
    word = TrimmedUpperCase(word);
    if (!word.empty()) {
      const unsigned char first = FirstLetter(word.data());
      longestEntry_[first] = std::max(longestEntry_[first], word.size());
      if (i >= skipCount) longestToken_[first] = std::max(longestToken_[first], word.size());
    }
    InsertWord(i, i < skipCount ? wkStop : wkToken);
  }
}

void TWordLookupTable::InsertWord(std::size_t listIndex, TWordKind kind) {
  const std::string& word = words_[listIndex];
  if (word.empty()) return;
  const std::uint32_t hash = WordHash(word.data(), word.size());
  const auto slotCount = static_cast<std::uint32_t>(slots_.size());
  std::uint32_t slot = hash % slotCount;
  for (int probe = 0; probe < kMaxProbes; ++probe, slot = NextSlot(slot, slotCount)) {
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
  // An entry shorter than the text never matches it, so a text longer than
  // every entry of its first letter needs no hashing at all.
  if (slots_.empty() || (length > 0 && length > longestEntry_[FirstLetter(text)])) return wkNone;
  const std::uint32_t hash = WordHash(text, length);
  const auto slotCount = static_cast<std::uint32_t>(slots_.size());
  std::uint32_t slot = hash % slotCount;
  for (int probe = 0; probe < kMaxProbes; ++probe, slot = NextSlot(slot, slotCount)) {
    const TWordSlot& entry = slots_[slot];
    if (entry.Hash == 0) return wkNone;
    if (entry.Hash != hash) continue;
    const std::string& word = words_[static_cast<std::size_t>(entry.ListIndex)];
    if (word.size() < length) continue;
    // Entries are stored in capitals, and so are the words of word intake:
    // equal bytes settle most comparisons before the case-blind one.
    if (std::memcmp(word.data(), text, length) == 0 || platform::EqualIgnoringCase(word.data(), text, length)) {
      return entry.Kind;
    }
  }
  return wkNone;
}

}  // namespace vexa
