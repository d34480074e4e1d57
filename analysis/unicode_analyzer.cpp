#include "analysis/unicode_analyzer.h"

#include <utf8proc.h>

#include "analysis/snowball_stemmers.h"
#include "analysis/unicode_folding.h"
#include "analysis/unicode_words.h"
#include "parser/crc1632.h"
#include "phonetic/sound_code.h"

namespace vexa::analysis {
namespace {

// A folded (lower-case, unaccented) Cyrillic or Greek letter in Latin
// letters; null for one of neither script.
const char* Transliterated(utf8proc_int32_t c) {
  static const char* const kCyrillic[32] = {"a", "b", "v", "g", "d", "e", "zh", "z", "i", "i", "k",
                                            "l", "m", "n", "o", "p", "r", "s", "t", "u", "f", "kh",
                                            "ts", "ch", "sh", "shch", "", "y", "", "e", "iu", "ia"};
  static const char* const kGreek[25] = {"a", "v", "g", "d", "e", "z", "i", "th", "i", "k", "l", "m", "n",
                                         "x", "o", "p", "r", "s", "s", "t", "y", "f", "ch", "ps", "o"};
  if (c >= 0x0430 && c <= 0x044F) return kCyrillic[c - 0x0430];
  if (c >= 0x03B1 && c <= 0x03C9) return kGreek[c - 0x03B1];
  switch (c) {
    case 0x0451: return "e";   // ё, when accents are kept
    case 0x0456: case 0x0457: return "i";  // і ї
    case 0x0454: return "ie";  // є
    case 0x0491: return "g";   // ґ
    case 0x045E: return "u";   // ў
    default: return nullptr;
  }
}

}  // namespace

std::int32_t UnicodeAnalyzer::DocumentWords(std::string_view text,
                                            const std::function<void(std::string_view word)>& word) const {
  WordFolder folder(options_.keepAccents);
  // Stemmers read words with their accents (a Russian stemmer knows й from и).
  WordFolder accentedFolder(true);
  std::uint32_t crc = 0xFFFFFFFFu;
  ForEachWordSpan(text, [&](WordSpan span) {
    const std::string_view original = text.substr(span.begin, span.end - span.begin);
    std::string folded = folder.Fold(original);
    if (folded.empty() || options_.stopWords.count(folded) > 0) return;
    if (options_.stemmers) {
      const std::string stem =
          options_.stemmers->Stem(options_.keepAccents ? folded : accentedFolder.Fold(original), folded);
      folded = options_.keepAccents ? stem : folder.Fold(stem);
      if (folded.empty()) return;
    }
    UpdateCrc32WithWord(folded.data(), folded.size(), crc);
    word(folded);
  });
  return static_cast<std::int32_t>(crc);
}

std::vector<std::string> UnicodeAnalyzer::PrefixWords(std::string_view text) const {
  WordFolder folder(options_.keepAccents);
  std::vector<std::string> words;
  ForEachWordSpan(text, [&](WordSpan span) {
    std::string folded = folder.Fold(text.substr(span.begin, span.end - span.begin));
    if (!folded.empty()) words.push_back(std::move(folded));
  });
  return words;
}

std::int32_t UnicodeAnalyzer::SoundCode(std::string_view word) const {
  WordFolder folder(false);
  std::string latin;
  ForEachWordSpan(word, [&](WordSpan span) {
    const std::string folded = folder.Fold(word.substr(span.begin, span.end - span.begin));
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(folded.data());
    std::size_t at = 0;
    while (at < folded.size()) {
      utf8proc_int32_t c = -1;
      const utf8proc_ssize_t length =
          utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(folded.size() - at), &c);
      at += length > 0 ? static_cast<std::size_t>(length) : 1;
      if (c >= 'a' && c <= 'z') {
        latin += static_cast<char>(c - 'a' + 'A');
      } else if (const char* letters = Transliterated(c)) {
        for (const char* l = letters; *l != '\0'; ++l) latin += static_cast<char>(*l - 'a' + 'A');
      }
    }
  });
  return vexa::SoundCode(latin.c_str(), "", "");
}

}  // namespace vexa::analysis
