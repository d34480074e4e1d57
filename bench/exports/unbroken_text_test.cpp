#include "bench/exports/unbroken_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace vexa::bench {
namespace {

bool HasBlank(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char byte) { return static_cast<unsigned char>(byte) <= 0x20; });
}

TEST(UrlDumpText, JoinsTheWordsInOrderWithPunctuation) {
  const CorpusWords words("In the beginning");
  const std::string text = UrlDumpText(words, 4000);
  ASSERT_EQ(text.size(), 4000u);
  EXPECT_FALSE(HasBlank(text));
  EXPECT_EQ(text.substr(0, 2), "In");
  EXPECT_EQ(text.substr(3, 3), "the");
  EXPECT_EQ(text.substr(7, 9), "beginning");
  EXPECT_EQ(text.substr(17, 2), "In");  // over again from the first word
  const std::string separators = "/-.?=&:~+,;%#!";
  EXPECT_NE(separators.find(text[2]), std::string::npos);
  EXPECT_NE(separators.find(text[16]), std::string::npos);
}

TEST(UrlDumpText, IsTheSameEveryTimeAndOfEveryLength) {
  const CorpusWords words("alpha beta gamma delta");
  EXPECT_EQ(UrlDumpText(words, 10000), UrlDumpText(words, 10000));
  for (std::size_t bytes : {0u, 1u, 5u, 6u, 777u}) EXPECT_EQ(UrlDumpText(words, bytes).size(), bytes);
  EXPECT_EQ(UrlDumpText(words, 10000).substr(0, 777), UrlDumpText(words, 777));
}

TEST(UrlDumpText, NeedsWords) { EXPECT_THROW(UrlDumpText(CorpusWords("1 2 3"), 10), std::invalid_argument); }

TEST(Base64DumpText, HoldsOnlyBase64DigitsInPseudoRandomOrder) {
  const std::string text = Base64DumpText(65536);
  ASSERT_EQ(text.size(), 65536u);
  const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  EXPECT_EQ(text.find_first_not_of(digits), std::string::npos);
  EXPECT_EQ(std::set<char>(text.begin(), text.end()).size(), 64u);
  EXPECT_NE(text.substr(0, 100), text.substr(100, 100));
}

TEST(Base64DumpText, IsTheSameEveryTimeAndOfEveryLength) {
  EXPECT_EQ(Base64DumpText(5000), Base64DumpText(5000));
  for (std::size_t bytes : {0u, 1u, 3u, 4u, 1001u}) EXPECT_EQ(Base64DumpText(bytes).size(), bytes);
  EXPECT_EQ(Base64DumpText(5000).substr(0, 1001), Base64DumpText(1001));
}

}  // namespace
}  // namespace vexa::bench
