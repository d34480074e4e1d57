#include "index/substring_query.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vexa::index {
namespace {

// One item of the plan's one group, its term numbered as ParseQuery numbers them.
void AddItem(QueryPlan& plan, ItemKind kind, std::vector<std::string> words, int column, const std::string& columnName,
             std::vector<std::uint32_t> offsets = {}) {
  if (plan.groups.empty()) plan.groups.emplace_back();
  int term = 0;
  for (std::size_t t = 0; t < plan.terms.size() && term == 0; ++t) {
    const QueryTerm& known = plan.terms[t];
    if (known.kind == kind && known.words == words && known.column == column && known.offsets == offsets) {
      term = static_cast<int>(t + 1);
    }
  }
  if (term == 0) {
    plan.terms.push_back({kind, words, column, offsets});
    term = static_cast<int>(plan.terms.size());
  } else {
    for (const QueryItem& item : plan.groups.front()) {
      if (item.term == term) return;
    }
  }
  QueryItem item;
  item.kind = kind;
  item.term = term;
  item.words = std::move(words);
  item.column = column;
  item.columnName = columnName;
  plan.groups.front().push_back(std::move(item));
}

// The item that finds `characters` one after the other (folded, START and END
// among them): a prefix of the grams for one or two, else the grams that
// cover them, each where it stands (every third one, and the last: a text
// holds them so exactly where it holds the characters), as a phrase, or a
// word for one gram. An index without positions looks for every gram of
// them, anywhere in the column. Returns whether a document found holds the
// characters: false when it looks for only the first kMaxPatternGrams
// grams, or for several grams without positions.
bool AddSequence(QueryPlan& plan, bool positions, const std::vector<std::string>& characters, int column,
                 const std::string& columnName) {
  if (characters.size() < 3) {
    std::string prefix;
    for (const std::string& character : characters) prefix += character;
    AddItem(plan, ItemKind::kPrefix, {prefix}, column, columnName);
    return true;
  }
  const std::size_t last = characters.size() - 3;  // where the last gram starts
  const auto gram = [&characters](std::size_t at) { return characters[at] + characters[at + 1] + characters[at + 2]; };
  if (!positions) {
    std::size_t grams = 0;
    for (std::size_t at = 0; at <= last && grams < kMaxPatternGrams; ++at, ++grams) {
      AddItem(plan, ItemKind::kWord, {gram(at)}, column, columnName);
    }
    return last == 0;
  }
  std::vector<std::uint32_t> offsets;
  for (std::size_t at = 0; at < last && offsets.size() < kMaxPatternGrams; at += 3) {
    offsets.push_back(static_cast<std::uint32_t>(at));
  }
  const bool whole = offsets.size() < kMaxPatternGrams;
  if (whole) offsets.push_back(static_cast<std::uint32_t>(last));
  std::vector<std::string> words;
  words.reserve(offsets.size());
  for (const std::uint32_t at : offsets) words.push_back(gram(at));
  if (words.size() == 1) {
    AddItem(plan, ItemKind::kWord, std::move(words), column, columnName);
  } else {
    AddItem(plan, ItemKind::kPhrase, std::move(words), column, columnName, std::move(offsets));
  }
  return whole;
}

std::vector<std::string> Folded(const std::vector<GramCharacter>& characters) {
  std::vector<std::string> folded;
  folded.reserve(characters.size());
  for (const GramCharacter& character : characters) folded.push_back(character.folded);
  return folded;
}

// A LIKE pattern read: its runs of literal characters (folded), split at
// each % and _, and whether it starts and ends with a literal character.
struct LikePattern {
  std::vector<std::vector<std::string>> runs;
  bool startsWithLiteral = false;
  bool endsWithLiteral = false;
};

LikePattern ReadLikePattern(const GramAnalyzer& analyzer, std::string_view pattern,
                            const std::optional<std::string>& escape) {
  std::string_view escapeBytes;
  if (escape) {
    const std::vector<GramCharacter> characters = analyzer.Characters(*escape);
    if (characters.size() != 1) throw PatternError("the ESCAPE character must be one character, not '" + *escape + "'");
    escapeBytes = characters.front().raw;
  }
  LikePattern read;
  std::vector<std::string> run;
  bool literal = false;  // whether the last piece read is a literal character
  bool first = true;
  const std::vector<GramCharacter> characters = analyzer.Characters(pattern);
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const std::string_view raw = characters[i].raw;
    if (!escapeBytes.empty() && raw == escapeBytes) {
      if (i + 1 == characters.size()) throw PatternError("the LIKE pattern ends with its ESCAPE character");
      const std::string_view next = characters[i + 1].raw;
      if (next != "%" && next != "_" && next != escapeBytes) {
        throw PatternError("the ESCAPE character escapes '" + std::string(next) +
                           "' in the LIKE pattern: it escapes only %, _ and itself");
      }
      ++i;
      run.push_back(characters[i].folded);
      literal = true;
    } else if (raw == "%" || raw == "_") {
      if (!run.empty()) read.runs.push_back(std::move(run));
      run.clear();
      literal = false;
    } else {
      run.push_back(characters[i].folded);
      literal = true;
    }
    if (first) read.startsWithLiteral = literal;
    first = false;
  }
  if (!run.empty()) read.runs.push_back(std::move(run));
  read.endsWithLiteral = literal;
  return read;
}

// Throws PatternError at a byte of `pattern` that is no UTF-8 (which the
// analyzer reads as U+FFFD): the engine's own predicate would refuse it.
void RefuseBytesThatAreNotUtf8(const std::vector<GramCharacter>& characters, std::string_view pattern) {
  const std::string_view replacement = "\xEF\xBF\xBD";
  for (const GramCharacter& character : characters) {
    if (character.folded == replacement && character.raw != replacement) {
      throw PatternError("the pattern is not UTF-8 text (byte " +
                         std::to_string(character.raw.data() - pattern.data() + 1) + " is not)");
    }
  }
}

}  // namespace

SubstringPlan PlanSubstring(const GramAnalyzer& analyzer, SubstringTest test, std::string_view pattern,
                            const std::optional<std::string>& escape, int column, const std::string& columnName) {
  RefuseBytesThatAreNotUtf8(analyzer.Characters(pattern), pattern);
  SubstringPlan plan;
  const bool positions = analyzer.KeepsPositions();
  const std::string start(kGramTextStart);
  const std::string end(kGramTextEnd);
  switch (test) {
    case SubstringTest::kContaining: {
      const std::vector<std::string> characters = Folded(analyzer.Characters(pattern));
      plan.exact = characters.empty() ? AddSequence(plan.candidates, positions, {start}, column, columnName)
                                      : AddSequence(plan.candidates, positions, characters, column, columnName);
      return plan;
    }
    case SubstringTest::kStartingWith: {
      std::vector<std::string> characters{start};
      for (std::string& character : Folded(analyzer.Characters(pattern))) characters.push_back(std::move(character));
      AddSequence(plan.candidates, positions, characters, column, columnName);
      return plan;
    }
    case SubstringTest::kLike: break;
  }
  LikePattern like = ReadLikePattern(analyzer, pattern, escape);
  if (!like.runs.empty() && like.startsWithLiteral) like.runs.front().insert(like.runs.front().begin(), start);
  if (!like.runs.empty() && like.endsWithLiteral) like.runs.back().push_back(end);
  for (const std::vector<std::string>& run : like.runs) AddSequence(plan.candidates, positions, run, column, columnName);
  if (plan.candidates.Empty()) AddSequence(plan.candidates, positions, {start}, column, columnName);
  return plan;
}

}  // namespace vexa::index
