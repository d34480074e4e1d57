// A word as a Unicode index stores it: NFKC with full case folding (so
// Straße meets STRASSE, and final sigma meets sigma), default-ignorable
// characters (soft hyphens, joiners) left out, and, unless accents are
// kept, the combining marks on Latin, Greek and Cyrillic letters removed
// (café meets CAFE). Marks of other scripts stay: an Indic vowel sign is
// part of its word. At most kMaxWordCharacters code points are kept.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::analysis {

inline constexpr std::size_t kMaxWordCharacters = 64;

class WordFolder {
 public:
  explicit WordFolder(bool keepAccents) : keepAccents_(keepAccents) {}

  // The folded form of `word`, valid UTF-8 (see unicode_words.h).
  std::string Fold(std::string_view word);
  // The same, by way of Unicode's full decomposition for every word: what
  // Fold does where its tables do not reach.
  std::string FoldSlowly(std::string_view word);

 private:
  bool keepAccents_;
  std::vector<int> codePoints_;  // reused between calls
};

}  // namespace vexa::analysis
