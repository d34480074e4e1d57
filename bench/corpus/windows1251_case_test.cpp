#include "bench/corpus/windows1251_case.h"

#include <gtest/gtest.h>

namespace vexa::bench {
namespace {

TEST(UpperCase1251, UpperCasesLatinAndCyrillicLetters) {
  EXPECT_EQ(UpperCase1251("The lord"), "THE LORD");
  // "ёжик Ая" in Windows-1251.
  EXPECT_EQ(UpperCase1251("\xB8\xE6\xE8\xEA \xC0\xFF"), "\xA8\xC6\xC8\xCA \xC0\xDF");
}

TEST(UpperCase1251, LeavesEverythingElseAsItIs) {
  EXPECT_EQ(UpperCase1251("0-9_/.,;\x96\xAB"), "0-9_/.,;\x96\xAB");
  EXPECT_EQ(UpperCase1251(""), "");
}

TEST(IsWrittenInCapitals, TellsCapitalsFromSmallLetters) {
  EXPECT_TRUE(IsWrittenInCapitals("LORD,"));
  EXPECT_TRUE(IsWrittenInCapitals("\xD4.\xC5."));  // Ф.Е.
  EXPECT_TRUE(IsWrittenInCapitals("2."));
  EXPECT_FALSE(IsWrittenInCapitals("Lord,"));
  EXPECT_FALSE(IsWrittenInCapitals("\xD4.\xE5."));  // Ф.е.
}

}  // namespace
}  // namespace vexa::bench
