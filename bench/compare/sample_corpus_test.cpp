#include "bench/compare/sample_corpus.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "bench/corpus.h"
#include "bench/corpus_documents.h"
#include "bench/corpus_word_lists.h"
#include "bench/frequent_words.h"
#include "tools/temp_directory.h"

namespace vexa::compare {
namespace {

bool EndsWithASentence(const std::string& text) {
  return text.size() >= 2 && text[text.size() - 2] == '.' && (text.back() == ' ' || text.back() == '\n');
}

bool HoldsAToken(const std::string& text) {
  return std::any_of(vexa::bench::kCommonTokens.begin(), vexa::bench::kCommonTokens.end(),
                     [&](const std::string& token) { return text.find(" " + token) != std::string::npos; });
}

TEST(SampleCorpus, EnglishIsTheSameEveryTimeAndLongEnough) {
  const std::string text = SampleEnglishText(50000);
  EXPECT_EQ(SampleEnglishText(50000), text);
  EXPECT_GE(text.size(), 50000U);
  EXPECT_LT(text.size(), 50200U);
  EXPECT_TRUE(EndsWithASentence(text));
  EXPECT_TRUE(HoldsAToken(text));
}

TEST(SampleCorpus, EnglishMostFrequentWordIsTheFirstOfItsVocabulary) {
  const vexa::bench::CorpusWords words(SampleEnglishText(100000));
  const std::vector<std::string> frequent = vexa::bench::MostFrequentWords(words, vexa::bench::Alphabet::kLatin, 2, 3);
  ASSERT_EQ(frequent.size(), 3U);
  EXPECT_EQ(frequent[0], "THE");
}

TEST(SampleCorpus, RussianIsWindows1251) {
  const std::string text = SampleRussianText1251(50000);
  EXPECT_EQ(SampleRussianText1251(50000), text);
  EXPECT_GE(text.size(), 50000U);
  EXPECT_TRUE(EndsWithASentence(text));
  std::size_t cyrillic = 0;
  for (const char byte : text) {
    const auto b = static_cast<unsigned char>(byte);
    EXPECT_TRUE(b < 0x80 || b >= 0xC0 || b == 0xA8 || b == 0xB8) << int(b);
    if (b >= 0xC0) ++cyrillic;
  }
  EXPECT_GT(cyrillic, text.size() / 2);
  // "И", a capital that begins sentences, appears.
  EXPECT_NE(text.find("\xC8 "), std::string::npos);
}

TEST(SampleCorpus, WritesBothCorpusFiles) {
  const vexa_host::TempDirectory directory;
  WriteSampleCorpus(directory.Path() / "corpus", 20000);
  EXPECT_EQ(vexa::bench::ReadCorpusFile(directory.Path() / "corpus" / vexa::bench::kEnglishCorpusFile),
            SampleEnglishText(20000));
  EXPECT_EQ(vexa::bench::ReadCorpusFile(directory.Path() / "corpus" / vexa::bench::kRussianCorpusFile),
            SampleRussianText1251(20000));
}

}  // namespace
}  // namespace vexa::compare
