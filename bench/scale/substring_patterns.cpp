#include "bench/scale/substring_patterns.h"

#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "bench/scale/query_set.h"

namespace vexa::scale {
namespace {

constexpr const char* kBands[] = {"rare", "medium", "common"};
constexpr const char* kCuts[] = {"start", "inside"};

bool IsLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0x400 && c <= 0x4FF); }
bool IsWordCharacter(char32_t c) { return IsLetter(c) || (c >= '0' && c <= '9'); }
bool IsBlank(char32_t c) { return c == ' ' || c == 0xA0; }
// Characters no pattern holds: control characters, bytes that are no UTF-8,
// and what LIKE reads as a wildcard or an escape.
bool IsRefused(char32_t c) { return c < 0x20 || c == 0x7F || c == 0xFFFD || c == '%' || c == '_' || c == '\\'; }

// The two case folds: SQLite's LIKE (ASCII letters only) and the one of
// CONTAINING and ILIKE over the corpus's letters (ASCII and Cyrillic, with
// the Ukrainian and Belarusian ones). Neither changes a character's length
// in bytes.
using Fold = char32_t (*)(char32_t);
char32_t FoldAscii(char32_t c) { return c >= 'A' && c <= 'Z' ? c + 0x20 : c; }
char32_t FoldLatinCyrillic(char32_t c) {
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c == 0x490) return 0x491;
  return FoldAscii(c);
}

// Whether `utf8` holds a Cyrillic letter of either case.
bool HoldsCasedCyrillic(const std::string& utf8) {
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, at);
    if ((c >= 0x400 && c <= 0x45F) || c == 0x490 || c == 0x491) return true;
  }
  return false;
}

void Folded(const std::string& utf8, Fold fold, std::string& out) {
  out.clear();
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    const char32_t c = NextCodePoint(utf8, at);
    const char32_t folded = fold(c);
    if (folded == c) {
      out.append(utf8, start, at - start);
    } else if (folded < 0x80) {
      out += static_cast<char>(folded);
    } else {
      out += static_cast<char>(0xC0 | (folded >> 6));
      out += static_cast<char>(0x80 | (folded & 0x3F));
    }
  }
}

std::string Folded(const std::string& utf8, Fold fold) {
  std::string out;
  Folded(utf8, fold, out);
  return out;
}

// How many of `documents`, folded by `fold`, hold each of `keys` (texts of
// `length` characters, folded alike and all different).
std::vector<std::size_t> DocumentCounts(const std::vector<std::string>& documents, Fold fold, std::size_t length,
                                        const std::vector<std::string>& keys) {
  std::unordered_map<std::string_view, std::size_t> place;
  for (std::size_t i = 0; i < keys.size(); ++i) place.emplace(keys[i], i);
  std::vector<std::size_t> counts(keys.size(), 0);
  std::vector<std::size_t> lastDocument(keys.size(), documents.size());
  std::string folded;
  std::vector<std::size_t> starts;  // of each character, and the end
  for (std::size_t d = 0; d < documents.size() && !keys.empty(); ++d) {
    Folded(documents[d], fold, folded);
    starts.clear();
    for (std::size_t at = 0; at < folded.size(); NextCodePoint(folded, at)) starts.push_back(at);
    starts.push_back(folded.size());
    const std::string_view text(folded);
    for (std::size_t i = 0; i + length < starts.size(); ++i) {
      const auto found = place.find(text.substr(starts[i], starts[i + length] - starts[i]));
      if (found == place.end() || lastDocument[found->second] == d) continue;
      lastDocument[found->second] = d;
      ++counts[found->second];
    }
  }
  return counts;
}

// A piece of `length` characters of `document`, from a place drawn among its
// letters that start a word (cut "start") or follow a letter ("inside");
// none when there is no such place or the piece breaks a rule.
std::optional<std::string> CutPiece(const std::string& document, const std::string& cut, std::size_t length,
                                    std::mt19937& random) {
  std::vector<char32_t> characters;
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < document.size();) {
    starts.push_back(at);
    characters.push_back(NextCodePoint(document, at));
  }
  starts.push_back(document.size());
  std::vector<std::size_t> places;
  for (std::size_t i = 0; i + length <= characters.size(); ++i) {
    if (!IsLetter(characters[i])) continue;
    const bool atStart = i == 0 || !IsWordCharacter(characters[i - 1]);
    const bool inside = i > 0 && IsLetter(characters[i - 1]);
    if (cut == "start" ? atStart : inside) places.push_back(i);
  }
  if (places.empty()) return std::nullopt;
  const std::size_t first = places[random() % places.size()];
  for (std::size_t i = first; i < first + length; ++i) {
    if (IsRefused(characters[i])) return std::nullopt;
  }
  if (IsBlank(characters[first + length - 1])) return std::nullopt;
  return document.substr(starts[first], starts[first + length] - starts[first]);
}

// The patterns of one length.
std::vector<Pattern> ChooseOfLength(const std::vector<std::string>& documents, std::size_t length,
                                    const PatternChoice& choice, std::mt19937& random) {
  std::vector<Pattern> candidates;
  std::vector<std::string> keys;
  std::set<std::string> seen;
  for (const char* cut : kCuts) {
    for (std::size_t draw = 0; draw < choice.draws; ++draw) {
      const std::optional<std::string> piece = CutPiece(documents[random() % documents.size()], cut, length, random);
      if (!piece) continue;
      std::string key = Folded(*piece, FoldLatinCyrillic);
      if (!seen.insert(key).second) continue;
      candidates.push_back(Pattern{length, "", cut, *piece, 0});
      keys.push_back(std::move(key));
    }
  }
  const std::vector<std::size_t> counts = DocumentCounts(documents, FoldLatinCyrillic, length, keys);

  // Pieces with a Cyrillic letter that has a case, counted again as
  // SQLite's LIKE matches them.
  std::vector<std::size_t> recounted;
  std::vector<std::string> likeKeys;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (!HoldsCasedCyrillic(candidates[i].text)) continue;
    recounted.push_back(i);
    likeKeys.push_back(Folded(candidates[i].text, FoldAscii));
  }
  const std::vector<std::size_t> likeCounts = DocumentCounts(documents, FoldAscii, length, likeKeys);
  std::vector<bool> refused(candidates.size(), false);
  for (std::size_t k = 0; k < recounted.size(); ++k) refused[recounted[k]] = likeCounts[k] != counts[recounted[k]];

  std::vector<Pattern> chosen;
  for (const char* band : kBands) {
    for (const char* cut : kCuts) {
      std::size_t taken = 0;
      for (std::size_t i = 0; i < candidates.size() && taken < choice.perCut; ++i) {
        if (refused[i] || candidates[i].cut != cut || BandOf(counts[i], documents.size()) != band) continue;
        Pattern pattern = candidates[i];
        pattern.band = band;
        pattern.documents = counts[i];
        chosen.push_back(pattern);
        ++taken;
      }
    }
  }
  return chosen;
}

}  // namespace

std::string BandOf(std::size_t documentsHolding, std::size_t documents) {
  if (documentsHolding * 100 < documents) return "rare";
  if (documentsHolding * 20 < documents) return "medium";
  return "common";
}

std::vector<Pattern> ChoosePatterns(const std::vector<std::string>& documents, const PatternChoice& choice) {
  if (documents.empty()) throw std::invalid_argument("no documents to cut patterns from");
  std::mt19937 random(choice.seed);
  std::vector<Pattern> patterns;
  for (std::size_t length : choice.lengths) {
    for (Pattern& pattern : ChooseOfLength(documents, length, choice, random)) patterns.push_back(std::move(pattern));
  }
  return patterns;
}

std::string FormatPatterns(const std::vector<Pattern>& patterns) {
  std::string text;
  for (const Pattern& p : patterns) {
    text += std::to_string(p.length) + "\t" + p.band + "\t" + p.cut + "\t" + std::to_string(p.documents) + "\t" + p.text + "\n";
  }
  return text;
}

std::vector<Pattern> ParsePatterns(const std::string& text) {
  std::vector<Pattern> patterns;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    Pattern pattern;
    std::string length, documents;
    if (!std::getline(fields, length, '\t') || !std::getline(fields, pattern.band, '\t') ||
        !std::getline(fields, pattern.cut, '\t') || !std::getline(fields, documents, '\t') ||
        !std::getline(fields, pattern.text) || pattern.text.empty()) {
      throw std::runtime_error("not a pattern line: " + line);
    }
    pattern.length = std::stoul(length);
    pattern.documents = std::stoul(documents);
    patterns.push_back(pattern);
  }
  return patterns;
}

}  // namespace vexa::scale
