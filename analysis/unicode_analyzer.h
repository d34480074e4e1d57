// The analyzer of texts in any language, read as UTF-8: words where
// unicode_words.h finds them, without an elided article before an
// apostrophe (l'école is école, qu'il is il), each folded as
// unicode_folding.h says. A
// document's CRC is taken over its folded words as the module's parser takes
// it over its own (each word's length, 32-bit little-endian, then its
// bytes), so it changes exactly when the stored words do.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <string_view>
#include <vector>

#include "index/text_analyzer.h"

namespace vexa::analysis {

class SnowballStemmers;

struct UnicodeOptions {
  bool keepAccents = false;  // true: café and cafe are two words
  // Words are stemmed by these (after folding, before accents go) when set.
  std::shared_ptr<const SnowballStemmers> stemmers;
  // Folded words (as keepAccents folds them) that a document's words leave
  // out; they take no position.
  std::unordered_set<std::string> stopWords;
};

class UnicodeAnalyzer final : public index::TextAnalyzer {
 public:
  explicit UnicodeAnalyzer(UnicodeOptions options = {}) : options_(std::move(options)) {}

  std::int32_t DocumentWords(std::string_view text, const std::function<void(std::string_view word)>& word) const override;
  bool WordOffsets(std::string_view text,
                   const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const override;
  // The words as typed, folded as a document's are: neither stemmed nor
  // left out as stop words, so that a prefix matches a word's start.
  std::vector<std::string> PrefixWords(std::string_view text) const override;
  // The Soundex code of the word written in Latin letters: accents removed,
  // Cyrillic and Greek transliterated. A word with no such letters (CJK,
  // say) has the code of an empty word.
  std::int32_t SoundCode(std::string_view word) const override;
  // Unicode's spaces and line separators become ' ', the quotation marks
  // « » „ “ ” ‟ ＂ 〝 〞 '"'.
  std::string QueryText(std::string_view query) const override;

 private:
  // Each stored word with its span; returns the CRC DocumentWords gives.
  std::int32_t ForEachWord(std::string_view text,
                           const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const;

  UnicodeOptions options_;
};

}  // namespace vexa::analysis
