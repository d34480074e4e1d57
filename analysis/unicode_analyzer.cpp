#include "analysis/unicode_analyzer.h"

#include <algorithm>
#include <optional>

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

// The span without an elided article or pronoun before an apostrophe, as
// French, Italian and Catalan write them (l'école, d'un, qu'il, s'il): one
// of c d j l m n s t or qu, then ' or ’, then the word.
WordSpan WithoutElision(std::string_view text, WordSpan span) {
  const std::string_view word = text.substr(span.begin, span.end - span.begin);
  for (std::size_t at = 1; at <= 2 && at < word.size(); ++at) {
    const bool typographic = word[at] == '\xE2' && at + 2 < word.size() && word[at + 1] == '\x80' && word[at + 2] == '\x99';
    const std::size_t apostrophe = word[at] == '\'' ? 1 : typographic ? 3 : 0;
    if (apostrophe == 0) continue;
    if (at + apostrophe >= word.size()) return span;
    const auto lower = [&](std::size_t i) { return static_cast<char>(word[i] >= 'A' && word[i] <= 'Z' ? word[i] - 'A' + 'a' : word[i]); };
    const bool elided = at == 2 ? lower(0) == 'q' && lower(1) == 'u'
                                : std::string_view("cdjlmnst").find(lower(0)) != std::string_view::npos;
    if (elided) span.begin += at + apostrophe;
    return span;
  }
  return span;
}

}  // namespace

std::int32_t UnicodeAnalyzer::DocumentWords(std::string_view text,
                                            const std::function<void(std::string_view word)>& word) const {
  return ForEachWord(text, [&word](std::string_view stored, std::size_t, std::size_t) { word(stored); });
}

bool UnicodeAnalyzer::WordOffsets(
    std::string_view text, const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const {
  ForEachWord(text, word);
  return true;
}

std::int32_t UnicodeAnalyzer::ForEachWord(
    std::string_view text, const std::function<void(std::string_view word, std::size_t begin, std::size_t end)>& word) const {
  WordFolder folder(options_.keepAccents);
  // Stemmers read words with their accents (a Russian stemmer knows й from и).
  WordFolder accentedFolder(true);
  // The words as the parser's word stream records them, a CRC taken over
  // them all at the end.
  std::optional<SnowballStemmers::Lease> stemmers;
  if (options_.stemmers) stemmers.emplace(*options_.stemmers);
  std::string records;
  records.reserve(text.size() + text.size() / 2);
  ForEachWordSpan(text, [&](WordSpan found) {
    const WordSpan span = WithoutElision(text, found);
    const std::string_view original = text.substr(span.begin, span.end - span.begin);
    std::string folded = folder.Fold(original);
    if (folded.empty() || (!options_.stopWords.empty() && options_.stopWords.count(folded) > 0)) return;
    if (options_.stemmers) {
      // An ASCII word and its stem have no accents to fold away.
      const bool ascii = std::all_of(original.begin(), original.end(), [](char ch) { return (ch & 0x80) == 0; });
      const std::string stem =
          stemmers->Stem(options_.keepAccents || ascii ? folded : accentedFolder.Fold(original), folded);
      folded = options_.keepAccents || ascii ? stem : folder.Fold(stem);
      if (folded.empty()) return;
    }
    const auto size = static_cast<std::uint32_t>(folded.size());
    const char header[4] = {static_cast<char>(size & 0xFFu), static_cast<char>((size >> 8) & 0xFFu),
                            static_cast<char>((size >> 16) & 0xFFu), static_cast<char>(size >> 24)};
    records.append(header, sizeof header).append(folded);
    word(folded, span.begin, span.end);
  });
  return static_cast<std::int32_t>(CalcCrc32(records.data(), records.size(), 0xFFFFFFFFu));
}

std::vector<std::string> UnicodeAnalyzer::PrefixWords(std::string_view text) const {
  WordFolder folder(options_.keepAccents);
  std::vector<std::string> words;
  ForEachWordSpan(text, [&](WordSpan found) {
    const WordSpan span = WithoutElision(text, found);
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

std::string UnicodeAnalyzer::QueryText(std::string_view query) const {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(query.data());
  std::string text;
  text.reserve(query.size());
  std::size_t at = 0;
  while (at < query.size()) {
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t length = utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(query.size() - at), &c);
    const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 1;
    const utf8proc_category_t category = c < 0 ? UTF8PROC_CATEGORY_CN : utf8proc_category(c);
    if (c > 0x7F && (category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
                     category == UTF8PROC_CATEGORY_ZP)) {
      text += ' ';
    } else if (c == 0x00AB || c == 0x00BB || c == 0x201C || c == 0x201D || c == 0x201E || c == 0x201F ||
               c == 0xFF02 || c == 0x301D || c == 0x301E) {
      text += '"';
    } else {
      text.append(query.data() + at, size);
    }
    at += size;
  }
  return text;
}

}  // namespace vexa::analysis
