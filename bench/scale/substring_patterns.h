// The patterns of the substring benchmark, the same for every system: pieces
// of 3, 5 and 10 characters cut from the corpus's own documents, at the start
// of a word and inside one, in three bands of how many documents hold them
// with case ignored. Every system must find the same documents for each, so
// a pattern is taken only where their rules meet:
//   - it holds no control character, nor LIKE's '%', '_' or '\' (FTS5 serves
//     LIKE without an ESCAPE clause), and does not end in a blank;
//   - SQLite's LIKE ignores the case of ASCII letters only, where CONTAINING
//     and ILIKE ignore that of Cyrillic ones too: a pattern with a Cyrillic
//     letter is taken only when the documents that hold it in any case are
//     the ones that hold it with its Cyrillic letters as cut.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexa::scale {

struct Pattern {
  std::size_t length = 0;  // in characters
  std::string band;        // "rare", "medium" or "common", see BandOf
  std::string cut;         // "start" (at the start of a word) or "inside" (after a letter)
  std::string text;        // UTF-8, in the case it was cut in
  std::size_t documents = 0;  // how many documents hold it, case ignored
};

struct PatternChoice {
  std::vector<std::size_t> lengths = {3, 5, 10};
  std::size_t perCut = 3;        // patterns per length, band and cut
  std::size_t draws = 2000;      // places drawn per length and cut
  unsigned seed = 20261209;
};

// "rare": in under 1 % of the documents; "medium": 1 % to under 5 %;
// "common": 5 % and more.
std::string BandOf(std::size_t documentsHolding, std::size_t documents);

// By length, then band (rare first), then cut; within a group in the order
// drawn. A group holds fewer than perCut when the draws found no more (few
// pieces of 10 characters are common).
std::vector<Pattern> ChoosePatterns(const std::vector<std::string>& documents, const PatternChoice& choice);

// One pattern a line: length, band, cut, documents, text, parted by tabs.
std::string FormatPatterns(const std::vector<Pattern>& patterns);
std::vector<Pattern> ParsePatterns(const std::string& text);

}  // namespace vexa::scale
