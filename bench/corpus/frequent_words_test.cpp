#include "bench/corpus/frequent_words.h"

#include <gtest/gtest.h>

namespace vexa::bench {
namespace {

TEST(MostFrequentWords, CountsWordsUpperCased) {
  const CorpusWords words("the The THE of OF and cat");
  EXPECT_EQ(MostFrequentWords(words, Alphabet::kLatin, 2, 3), (std::vector<std::string>{"THE", "OF", "AND"}));
}

TEST(MostFrequentWords, LeavesOutWordsShorterThanTheMinimum) {
  const CorpusWords words("a a a a I I of of the");
  EXPECT_EQ(MostFrequentWords(words, Alphabet::kLatin, 2, 10), (std::vector<std::string>{"OF", "THE"}));
}

TEST(MostFrequentWords, TakesOnlyWordsOfTheAlphabet) {
  // "и и мир" with the Latin "word" and a word mixing both alphabets.
  const CorpusWords words("\xE8\xEB\xE8 \xE8\xEB\xE8 \xEC\xE8\xF0 word word word m\xE8\xF0");
  EXPECT_EQ(MostFrequentWords(words, Alphabet::kCyrillic, 2, 10),
            (std::vector<std::string>{"\xC8\xCB\xC8", "\xCC\xC8\xD0"}));
  EXPECT_EQ(MostFrequentWords(words, Alphabet::kLatin, 2, 10), (std::vector<std::string>{"WORD"}));
}

}  // namespace
}  // namespace vexa::bench
