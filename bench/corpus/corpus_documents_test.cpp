#include "bench/corpus/corpus_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::bench {
namespace {

std::string Joined(const std::vector<std::string>& documents) {
  std::string text;
  for (const std::string& document : documents) text += document;
  return text;
}

TEST(SplitIntoDocuments, CutsAfterTheLastBlankThatFits) {
  const auto documents = SplitIntoDocuments("alpha beta gamma", 8);
  EXPECT_EQ(documents, (std::vector<std::string>{"alpha ", "beta ", "gamma"}));
}

TEST(SplitIntoDocuments, CutsAWordLongerThanADocumentAtTheLimit) {
  const auto documents = SplitIntoDocuments("abcdefghij kl", 4);
  EXPECT_EQ(documents, (std::vector<std::string>{"abcd", "efgh", "ij ", "kl"}));
}

TEST(SplitIntoDocuments, KeepsAShortTextWhole) {
  EXPECT_EQ(SplitIntoDocuments("one two", 64), (std::vector<std::string>{"one two"}));
  EXPECT_TRUE(SplitIntoDocuments("", 64).empty());
}

TEST(SplitIntoDocuments, NoDocumentIsLongerThanTheLimitAndNothingIsLost) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "word" + std::to_string(i) + (i % 7 == 0 ? "\n" : " ");
  const auto documents = SplitIntoDocuments(text, 1024);
  ASSERT_GT(documents.size(), 1u);
  for (const std::string& document : documents) {
    EXPECT_LE(document.size(), 1024u);
    EXPECT_LE(static_cast<unsigned char>(document.back()), 0x20) << "a word was split";
  }
  EXPECT_EQ(Joined(documents), text);
  EXPECT_EQ(TotalBytes(documents), text.size());
}

TEST(SplitIntoDocuments, TurnsNulBytesIntoSpaces) {
  const auto documents = SplitIntoDocuments(std::string("ab\0cd", 5), 64);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0], "ab cd");
}

}  // namespace
}  // namespace vexa::bench
