// Substring searches over a gram index: an index whose words are each
// column's text three characters at a time, folded as CONTAINING folds case.
// A text of n characters is stored as the n + 1 grams of
// START text END END, the gram at position i starting at its character i - 1
// (START's at 0), so that
//   - every character starts a gram: a pattern of one or two characters is
//     a prefix of the grams it stands in (A: every gram A..; AB: AB.);
//   - a pattern of three characters or more is the phrase of the grams that
//     cover it, each where it stands (every third one and the last: ABCDEFG
//     is ABC at 0, DEF at 3, EFG at 4), which a text holds exactly where it
//     holds the pattern;
//   - START marks a text's first characters (STARTING WITH) and END its last
//     (a LIKE pattern that ends in a letter);
//   - every text, the empty one too, holds a gram that starts with START.
// An index that keeps no positions (the analyzer's default) knows only which
// documents hold each gram in which column: a pattern of three characters or
// more is looked for by all the grams it holds, and the documents found are
// checked against their texts unless it is one gram.
// START and END are noncharacters (U+FDD0, U+FDD1), which Unicode keeps for
// a program's own use: no text of a user's is expected to hold them.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "index/query_plan.h"
#include "index/text_analyzer.h"

namespace vexa::index {

inline constexpr std::string_view kGramTextStart = "\xEF\xB7\x90";
inline constexpr std::string_view kGramTextEnd = "\xEF\xB7\x91";

// A pattern whose cover takes more grams than this (one of over 768
// characters) is looked for by the first kMaxPatternGrams of them, and what
// they find is checked against the texts.
inline constexpr std::size_t kMaxPatternGrams = 256;

// A character of a text as written and as a gram index folds it.
struct GramCharacter {
  std::string_view raw;  // its bytes in the text
  std::string folded;    // UTF-8
};

// The analyzer of a gram index.
class GramAnalyzer : public TextAnalyzer {
 public:
  // Each character of `text` in order, its bytes as written and folded as
  // the index folds it: one folded character for each (a byte that is not
  // UTF-8 is a character of its own).
  virtual std::vector<GramCharacter> Characters(std::string_view text) const = 0;
};

// The predicates a gram index answers, as the engine's own SQL has them.
enum class SubstringTest {
  kContaining,    // CONTAINING: case-insensitive
  kStartingWith,  // STARTING WITH: case-sensitive
  kLike,          // LIKE with % and _ (and ESCAPE): case-sensitive
};

// A LIKE pattern that is not one: an escape character that is more than one
// character, or one that escapes nothing but %, _ or itself.
class PatternError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// What a gram index looks up for a predicate.
struct SubstringPlan {
  // The documents that may satisfy it: those that satisfy the plan's one
  // group. Never empty: every document of the index holds START.
  QueryPlan candidates;
  // Whether every candidate satisfies it: otherwise each is to be checked
  // against its text (a case-sensitive predicate, a wildcard, a pattern past
  // kMaxPatternGrams).
  bool exact = false;
};

// The plan for `test` of `pattern` in `column` (-1: in any of the index's
// columns; `columnName` is its name). `escape` is LIKE's ESCAPE character,
// if any. Throws PatternError.
SubstringPlan PlanSubstring(const GramAnalyzer& analyzer, SubstringTest test, std::string_view pattern,
                            const std::optional<std::string>& escape, int column, const std::string& columnName);

}  // namespace vexa::index
