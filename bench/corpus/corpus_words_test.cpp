#include "bench/corpus/corpus_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::bench {
namespace {

std::vector<std::string> AllWords(const CorpusWords& words) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < words.Count(); ++i) all.emplace_back(words.Word(i));
  return all;
}

TEST(CorpusWords, TakesRunsOfLatinLettersAsWritten) {
  const CorpusWords words("  1 In the beginning, God's  heaven-and-earth.\n");
  EXPECT_EQ(AllWords(words),
            (std::vector<std::string>{"In", "the", "beginning", "God", "s", "heaven", "and", "earth"}));
}

TEST(CorpusWords, TakesWindows1251CyrillicLetters) {
  // "Ёжик и ёлка" and the dash of "- 1" in Windows-1251.
  const CorpusWords words("\xA8\xE6\xE8\xEA \xE8 \xB8\xEB\xEA\xE0 - 1");
  EXPECT_EQ(AllWords(words), (std::vector<std::string>{"\xA8\xE6\xE8\xEA", "\xE8", "\xB8\xEB\xEA\xE0"}));
}

TEST(CorpusWords, AWordAtTheVeryEndIsKept) {
  EXPECT_EQ(AllWords(CorpusWords("last")), (std::vector<std::string>{"last"}));
  EXPECT_EQ(CorpusWords("").Count(), 0u);
  EXPECT_EQ(CorpusWords("12 -- 34").Count(), 0u);
}

TEST(IsCorpusLetter, KnowsLettersFromPunctuationAndDigits) {
  EXPECT_TRUE(IsCorpusLetter('a'));
  EXPECT_TRUE(IsCorpusLetter('Z'));
  EXPECT_TRUE(IsCorpusLetter('\xC0'));
  EXPECT_TRUE(IsCorpusLetter('\xFF'));
  EXPECT_FALSE(IsCorpusLetter('5'));
  EXPECT_FALSE(IsCorpusLetter('_'));
  EXPECT_FALSE(IsCorpusLetter('\x96'));  // en dash
  EXPECT_FALSE(IsCorpusLetter('\xAB'));  // left guillemet
}

}  // namespace
}  // namespace vexa::bench
