#include "parser/plain_token_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

std::vector<std::string> Runs(const char* text, const TCharSet& set) {
  std::vector<std::string> runs;
  TPlainTokenList tokens(text, set);
  while (!tokens.AtEnd()) {
    runs.emplace_back(tokens.RunStart(), tokens.RunEnd());
    tokens.NextRun();
  }
  return runs;
}

TEST(PlainTokenList, FindsRunsOfWordCharacters) {
  const TCharSet set = TCharSet::DefaultWordCharacters();
  struct Case {
    const char* text;
    std::vector<std::string> runs;
  } cases[] = {
      {"", {}},
      {" .,;-- ", {}},
      {"The quick-brown fox", {"The", "quick", "brown", "fox"}},
      {"  lead and trail  ", {"lead", "and", "trail"}},
      {"a_b9 x\xE0y", {"a_b9", "x", "y"}},  // bytes above 0x7F split runs by default
      {"R&D (r&d).", {"R", "D", "r", "d"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Runs(c.text, set), c.runs) << c.text;
}

TEST(PlainTokenList, NulEndsTheScanEvenWhenEveryOtherByteIsAWordCharacter) {
  TCharSet all;
  all.AddRange(1, 255);
  const char text[] = "ab c\0de";
  EXPECT_EQ(Runs(text, all), std::vector<std::string>{"ab c"});
}

TEST(PlainTokenList, RunNumberCountsMovesAndRestartsButNotMovesAtTheEnd) {
  const TCharSet set = TCharSet::DefaultWordCharacters();
  const char* text = "one two";
  TPlainTokenList tokens(text, set);
  EXPECT_EQ(tokens.RunNumber(), 1);
  EXPECT_TRUE(tokens.NextRun());
  EXPECT_FALSE(tokens.NextRun());  // moves onto the end
  EXPECT_EQ(tokens.RunNumber(), 3);
  EXPECT_FALSE(tokens.NextRun());  // already at the end: nothing changes
  EXPECT_EQ(tokens.RunNumber(), 3);
  EXPECT_FALSE(tokens.RestartAt(text));  // back to "one"
  EXPECT_EQ(std::string(tokens.RunStart(), tokens.RunEnd()), "one");
  EXPECT_EQ(tokens.RunNumber(), 4);
}

TEST(PlainTokenList, RestartAtSkipsToTheNextRunFromAnyByte) {
  const TCharSet set = TCharSet::DefaultWordCharacters();
  const char* text = "R&D and";
  TPlainTokenList tokens(text, set);
  EXPECT_FALSE(tokens.RestartAt(text + 1));  // from the ampersand
  EXPECT_EQ(std::string(tokens.RunStart(), tokens.RunEnd()), "D");
  EXPECT_TRUE(tokens.RestartAt(text + 7));  // at the NUL
  EXPECT_EQ(*tokens.RunStart(), '\0');
}

}  // namespace
}  // namespace vexa
