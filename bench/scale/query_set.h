// The searches of the scale benchmark, chosen from a corpus's own word
// frequencies, the same for every system: all-words searches of 1, 2 and 3
// words in three bands of document frequency, phrases, prefixes, and in every
// band mixes of the query language: an OR of two words, a word without
// another, and a phrase with a word.
//
// Words are taken only where every system splits the text alike: runs of
// Latin or Russian letters (А..я) in chunks (between blanks) that hold no
// digit, underscore, other letter, nor a '.', '/', '@', ':' and the like
// that PostgreSQL's parser reads as part of a host name, path or tag. Stop
// words, parts of tokens and words shorter than three letters are left out,
// as a document parser drops them.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace vexa::scale {

// The kinds of query; each system's syntax for them is in query_syntax.h.
//   all          every word of the text
//   phrase       the words of the text one after the other
//   prefix       a word starting with the text
//   or           "a b": either word
//   not          "a b": A in a document that lacks B
//   phrase_word  "a b c": the phrase "a b" and the word C
struct Query {
  std::string kind;
  std::string band;  // "rare", "medium", "common" (of the words chosen by band), or "-"
  std::size_t words = 1;
  std::string text;  // lower case, UTF-8, words parted by one blank
};

// Whether a query of the kind holds a phrase (Vexa's phrases skip the stop
// words between their words, so it may find more documents than the others).
bool HoldsPhrase(const std::string& kind);

struct QueryChoice {
  std::set<std::string> stopWords;    // lower case, UTF-8
  std::set<std::string> tokenWords;   // the letter runs of the token list's entries, lower case
  std::size_t perGroup = 6;           // queries per band and word count; phrases and prefixes alike
  unsigned seed = 20261209;
};

std::vector<Query> ChooseQueries(const std::vector<std::string>& documents, const QueryChoice& choice);

// One query a line: kind, band, word count, text, parted by tabs.
std::string FormatQueries(const std::vector<Query>& queries);
std::vector<Query> ParseQueries(const std::string& text);

// The code point of `text` at `at`, and `at` moved past it; a byte that
// starts no valid sequence reads as U+FFFD.
char32_t NextCodePoint(const std::string& text, std::size_t& at);

// Lower case of the Latin and Russian letters (Ё too), other bytes as they are.
std::string LowerCase(const std::string& utf8);

}  // namespace vexa::scale
