#include "bench/corpus/corpus_word_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bench/corpus/corpus_documents.h"

namespace vexa::bench {
namespace {

Corpus CorpusOf(const std::string& text) {
  return Corpus{"Test", SplitIntoDocuments(text, kDocumentBytes), CorpusWords(text)};
}

TEST(CorpusWordLists, StopWordsAreTheMostFrequentWordsUpperCased) {
  const WordLists lists = CorpusWordLists(CorpusOf("the The of and the a a a"), Alphabet::kLatin, 2);
  EXPECT_EQ(lists.stopWords, (std::vector<std::string>{"THE", "AND", "OF"}));
}

TEST(CorpusWordLists, TokensAreTheCommonOnesThenTheCorpusChunks) {
  const WordLists lists =
      CorpusWordLists(CorpusOf("LORD, the R&D LORD, GOD. TCP/IP TCP/IP TCP/IP"), Alphabet::kLatin, 2);
  std::vector<std::string> expected = kCommonTokens;
  expected.push_back("LORD,");
  expected.push_back("GOD.");
  EXPECT_EQ(lists.tokens, expected);
}

TEST(CorpusWordLists, TakesAtMostTheFixedNumbersOfEntries) {
  // 676 different words Waa..Wzz, and 50 different chunks X0Y. to X49Y.
  std::string text;
  for (char first = 'a'; first <= 'z'; ++first) {
    for (char second = 'a'; second <= 'z'; ++second) text += std::string("W") + first + second + " ";
  }
  for (int i = 0; i < 50; ++i) text += "X" + std::to_string(i) + "Y. ";
  const WordLists lists = CorpusWordLists(CorpusOf(text), Alphabet::kLatin, 2);
  EXPECT_EQ(lists.stopWords.size(), kStopWordCount);
  EXPECT_EQ(lists.tokens.size(), kCommonTokens.size() + kCorpusTokenCount);
}

TEST(ListFileText, PutsEachEntryOnALineOfItsOwn) {
  EXPECT_EQ(ListFileText({"THE", "TCP/IP"}), "THE\nTCP/IP\n");
  EXPECT_EQ(ListFileText({}), "");
}

}  // namespace
}  // namespace vexa::bench
