#include "bench/corpus/corpus_word_lists.h"

#include <algorithm>

#include "bench/corpus/capital_chunks.h"

namespace vexa::bench {

const std::vector<std::string> kCommonTokens = {"TCP/IP", "C++", "R&D", "U.S.A.", "I/O", "AT&T", "CD-ROM", "WI-FI"};

WordLists CorpusWordLists(const Corpus& corpus, Alphabet alphabet, std::size_t minWordLength) {
  WordLists lists;
  lists.stopWords = MostFrequentWords(corpus.words, alphabet, minWordLength, kStopWordCount);
  lists.tokens = kCommonTokens;
  const std::vector<std::string> chunks =
      FrequentCapitalChunks(corpus.documents, kMaxTokenBytes, kCorpusTokenCount + kCommonTokens.size());
  std::size_t added = 0;
  for (const std::string& chunk : chunks) {
    if (added == kCorpusTokenCount) break;
    if (std::find(kCommonTokens.begin(), kCommonTokens.end(), chunk) != kCommonTokens.end()) continue;
    lists.tokens.push_back(chunk);
    ++added;
  }
  return lists;
}

std::string ListFileText(const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& entry : entries) {
    text += entry;
    text += '\n';
  }
  return text;
}

}  // namespace vexa::bench
