#include "bench/corpus/capital_chunks.h"

#include <gtest/gtest.h>

namespace vexa::bench {
namespace {

TEST(FrequentCapitalChunks, TakesCapitalChunksWithPunctuation) {
  const std::vector<std::string> documents{"the LORD, and LORD. of LORD, the TCP/IP\nLORD,"};
  EXPECT_EQ(FrequentCapitalChunks(documents, 64, 10), (std::vector<std::string>{"LORD,", "LORD.", "TCP/IP"}));
}

TEST(FrequentCapitalChunks, StartsAChunkAtItsFirstWordCharacter) {
  // As the module finds it: "(LORD)" holds the chunk "LORD)".
  EXPECT_EQ(FrequentCapitalChunks({"(LORD) \"GOD!\""}, 64, 10), (std::vector<std::string>{"GOD!\"", "LORD)"}));
}

TEST(FrequentCapitalChunks, LeavesOutWhatTheModuleWouldNotKeepWhole) {
  const std::vector<std::string> documents{"Lord, LORD 2. ... C_3PO tcp/ip"};
  EXPECT_TRUE(FrequentCapitalChunks(documents, 64, 10).empty());
}

TEST(FrequentCapitalChunks, LeavesOutChunksLongerThanTheLimit) {
  EXPECT_EQ(FrequentCapitalChunks({"ABCDE-FGH AB-C"}, 4, 10), (std::vector<std::string>{"AB-C"}));
}

TEST(FrequentCapitalChunks, CountsOverAllDocumentsAndKeepsTheMostFrequent) {
  // "А." twice, "Ф.Е." once, in Windows-1251.
  const std::vector<std::string> documents{"\xC0. \xD4.\xC5.", "\xC0. I,"};
  EXPECT_EQ(FrequentCapitalChunks(documents, 64, 2), (std::vector<std::string>{"\xC0.", "I,"}));
}

}  // namespace
}  // namespace vexa::bench
