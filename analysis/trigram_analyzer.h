// The analyzer of a substring index: each column's text three characters at
// a time (index/substring_query.h), every character upper-cased as the
// engine's UPPER and CONTAINING fold it (Unicode's simple upper case: ß
// stays ß, ǆ and ǅ are Ǆ), and, when accents are removed, each letter then
// reduced to the letter its canonical decomposition starts with (É to E,
// Й to И), as an accent-insensitive collation compares them. One folded
// character for each character, so that positions in the folded text are
// positions in the text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "index/substring_query.h"

namespace vexa::analysis {

class TrigramAnalyzer final : public index::GramAnalyzer {
 public:
  TrigramAnalyzer(bool keepAccents, bool keepPositions) : keepAccents_(keepAccents), keepPositions_(keepPositions) {}

  // The text's grams; the CRC is taken over them as over a word index's words.
  std::int32_t DocumentWords(std::string_view text, const std::function<void(std::string_view word)>& word) const override;
  // Each gram with the bytes of the characters it is made of.
  bool WordOffsets(std::string_view text,
                   const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const override;
  // The text folded, as one prefix of the grams.
  std::vector<std::string> PrefixWords(std::string_view text) const override;
  // Grams have no sound: every one has the code 0.
  std::int32_t SoundCode(std::string_view word) const override;
  std::vector<index::GramCharacter> Characters(std::string_view text) const override;
  bool KeepsPositions() const override { return keepPositions_; }

 private:
  // Calls `gram` with each gram and the byte span of its characters.
  void ForEachGram(std::string_view text,
                   const std::function<void(std::string_view gram, std::size_t begin, std::size_t end)>& gram) const;

  bool keepAccents_;
  bool keepPositions_;
};

}  // namespace vexa::analysis
