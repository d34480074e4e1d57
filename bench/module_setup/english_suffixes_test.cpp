#include "bench/module_setup/english_suffixes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vexa::bench {
namespace {

std::string Stripped(const std::string& word) {
  char buffer[256] = {};
  std::memcpy(buffer, word.c_str(), word.size() + 1);
  StripEnglishSuffix(buffer);
  return buffer;
}

TEST(StripEnglishSuffix, StripsOneCommonSuffix) {
  const struct {
    const char* word;
    const char* stem;
  } cases[] = {
      {"WALKING", "WALK"}, {"WALKED", "WALK"},  {"BOXES", "BOX"},        {"QUICKLY", "QUICK"},
      {"DOGS", "DOG"},     {"THINGS", "THING"}, {"WALKINGS", "WALKING"},
  };
  for (const auto& c : cases) EXPECT_EQ(Stripped(c.word), c.stem) << c.word;
}

TEST(StripEnglishSuffix, KeepsShortStemsAndDoubleS) {
  for (const char* word : {"SING", "BED", "IS", "YES", "CLASS", "LESS", "LORD", "A", ""}) {
    EXPECT_EQ(Stripped(word), word) << word;
  }
}

TEST(StripEnglishSuffix, LeavesCyrillicWordsAlone) { EXPECT_EQ(Stripped("\xC4\xCE\xCC\xC0"), "\xC4\xCE\xCC\xC0"); }

TEST(StripEnglishSuffix, WorksWithinTheBufferAndTouchesNothingPastTheWord) {
  char buffer[256];
  std::memset(buffer, 'X', sizeof buffer);
  std::memcpy(buffer, "ROADS", 6);
  StripEnglishSuffix(buffer);
  EXPECT_STREQ(buffer, "ROAD");
  EXPECT_EQ(buffer[5], '\0');
  EXPECT_EQ(buffer[6], 'X');

  std::string longest(254, 'A');
  longest += 'S';
  EXPECT_EQ(Stripped(longest), std::string(254, 'A'));
}

}  // namespace
}  // namespace vexa::bench
