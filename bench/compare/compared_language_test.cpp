#include "bench/compare/compared_language.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "bench/compare/sample_corpus.h"
#include "bench/corpus_documents.h"
#include "tools/temp_directory.h"

namespace vexa::compare {
namespace {

// 600 two-letter words AA..WB, the i-th written 600 - i times.
vexa::bench::Corpus ManyWordsCorpus() {
  std::string text;
  for (int i = 0; i < 600; ++i) {
    const std::string word{static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)};
    for (int n = i; n < 600; ++n) text += word + ' ';
  }
  return vexa::bench::Corpus{"many", vexa::bench::SplitIntoDocuments(text, vexa::bench::kDocumentBytes),
                             vexa::bench::CorpusWords(text)};
}

TEST(ComparedLanguage, StopWordsAreTheFiveHundredMostFrequentWords) {
  const vexa::bench::WordLists lists = ComparedWordLists(ManyWordsCorpus(), vexa::bench::Alphabet::kLatin);
  ASSERT_EQ(lists.stopWords.size(), kComparedStopWordCount);
  EXPECT_EQ(lists.stopWords.front(), "AA");
  EXPECT_EQ(lists.stopWords.back(), "TF");  // the 500th: 499 = 19 * 26 + 5
  EXPECT_TRUE(std::equal(vexa::bench::kCommonTokens.begin(), vexa::bench::kCommonTokens.end(), lists.tokens.begin()));
}

TEST(ComparedLanguage, LoadsTheCorpusTheModuleAndTheUtf8Documents) {
  const vexa_host::TempDirectory directory;
  WriteSampleCorpus(directory.Path(), 150000);
  const ComparedLanguage russian =
      LoadComparedLanguage("Russian", directory.Path() / vexa::bench::kRussianCorpusFile,
                           vexa::bench::Alphabet::kCyrillic, VEXA_MODULE_FILE);
  EXPECT_EQ(russian.corpus.documents.size(), 3U);
  ASSERT_EQ(russian.utf8Documents.size(), 3U);
  EXPECT_GT(vexa::bench::TotalBytes(russian.utf8Documents), vexa::bench::TotalBytes(russian.corpus.documents));
  EXPECT_FALSE(russian.lists.stopWords.empty());
  EXPECT_LE(russian.lists.stopWords.size(), kComparedStopWordCount);
  EXPECT_TRUE(std::filesystem::exists(russian.module->Directory() / "Vexa_skip.lst"));
  EXPECT_TRUE(std::filesystem::exists(russian.moduleWithoutLists->Directory() / "Vexa.ini"));
  EXPECT_FALSE(std::filesystem::exists(russian.moduleWithoutLists->Directory() / "Vexa_skip.lst"));

  // The module splits Cyrillic words: "кот", no stop word, upper-cased to "КОТ".
  const vexa_host::VexaExports& vexa = russian.module->Exports();
  const std::int32_t handle = vexa.Parser_Create();
  ASSERT_NE(handle, 0);
  vexa.Parser_Add(&handle, "\xEA\xEE\xF2");
  vexa.Parser_Reset(&handle);
  char* word = vexa.Parser_Next(&handle);
  EXPECT_STREQ(word, "\xCA\xCE\xD2");
  std::free(word);
  vexa.Parser_Free(&handle);
}

}  // namespace
}  // namespace vexa::compare
