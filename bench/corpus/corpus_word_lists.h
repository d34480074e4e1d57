// The stop-word and token lists that the benchmark lays beside the module
// for one corpus: its most frequent words as stop words; as tokens a few
// common ones written with punctuation, then the corpus's most frequent
// chunks that the module would keep whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bench/corpus/corpus.h"
#include "bench/corpus/frequent_words.h"

namespace vexa::bench {

inline constexpr std::size_t kStopWordCount = 400;
inline constexpr std::size_t kCorpusTokenCount = 32;
inline constexpr std::size_t kMaxTokenBytes = 64;

// Tokens of any text, in the forms the module stores: TCP/IP, C++, R&D...
extern const std::vector<std::string> kCommonTokens;

struct WordLists {
  std::vector<std::string> stopWords;
  std::vector<std::string> tokens;
};

// Stop words: the kStopWordCount most frequent words of the corpus written in
// `alphabet`, of at least `minWordLength` bytes (shorter ones never reach the
// lists). Tokens: kCommonTokens, then up to kCorpusTokenCount of the corpus's
// FrequentCapitalChunks that are not among them already.
WordLists CorpusWordLists(const Corpus& corpus, Alphabet alphabet, std::size_t minWordLength);

// The text of a list file: each entry on a line of its own.
std::string ListFileText(const std::vector<std::string>& entries);

}  // namespace vexa::bench
