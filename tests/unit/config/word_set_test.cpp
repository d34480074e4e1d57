#include "config/word_set.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

std::string Members(const TCharSet& set) {
  std::string members;
  for (int b = 0; b < 256; ++b) {
    if (set.Contains(static_cast<unsigned char>(b))) members += static_cast<char>(b);
  }
  return members;
}

TEST(WordSet, RangesRunFromThePreviousCharacter) {
  const struct {
    const char* text;
    std::string members;
  } cases[] = {
      {"a..c..f", "abcdef"},
      {"ab..d", "abcd"},
      {"..abc", ".abc"},
      {"a..", ".a"},
      {"a.b", ".ab"},
      {"a...b", "ab"},     // a to the dot is empty; b after it
      {"z..a", "z"},
      {"z..a..c", "abcz"},
      {"+...", "+,-."},
      {"...", "."},
      {"x", "x"},
      {"\xE0..\xFF", std::string("\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
                                 "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF")},
  };
  for (const auto& c : cases) EXPECT_EQ(Members(ParseWordSet(c.text)), c.members) << c.text;
}

TEST(WordSet, TheDefaultTextIsTheBuiltInSet) {
  EXPECT_EQ(ParseWordSet("A..Za..z0..9_"), TCharSet::DefaultWordCharacters());
}

}  // namespace
}  // namespace vexa
