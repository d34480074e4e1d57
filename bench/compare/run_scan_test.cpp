#include "bench/compare/run_scan.h"

#include <gtest/gtest.h>

namespace vexa::compare {
namespace {

const WordCharacterTable kTable = ModuleWordCharacterTable();

TEST(RunScan, WordCharactersAreLettersDigitsUnderscoreAndCyrillic) {
  for (const int byte : {int{'A'}, int{'z'}, int{'0'}, int{'9'}, int{'_'}, 0xA8, 0xB8, 0xC0, 0xFF}) {
    EXPECT_EQ(kTable[static_cast<std::size_t>(byte)], 1) << byte;
  }
  for (const int byte : {int{' '}, int{'-'}, int{'/'}, int{'.'}, 0, 0x98, 0xAB, 0xBF}) {
    EXPECT_EQ(kTable[static_cast<std::size_t>(byte)], 0) << byte;
  }
}

TEST(RunScan, CountsEachRunOnce) {
  const PassResult result = CountRuns("The R&D, 42 dogs_ -- TCP/IP.", kTable);
  EXPECT_EQ(result.words, 7);  // The R D 42 dogs_ TCP IP
  EXPECT_EQ(result.checksum, 17U);  // their word characters
}

TEST(RunScan, RunsAtBothEndsCount) { EXPECT_EQ(CountRuns("alpha beta", kTable).words, 2); }

TEST(RunScan, CyrillicRunsCount) {
  // "Ёжик и мир!" in Windows-1251.
  EXPECT_EQ(CountRuns("\xA8\xE6\xE8\xEA \xE8 \xEC\xE8\xF0!", kTable).words, 3);
}

TEST(RunScan, NoWordCharactersNoRuns) {
  EXPECT_EQ(CountRuns("", kTable), (PassResult{0, 0}));
  EXPECT_EQ(CountRuns(" ,.;-- \n", kTable), (PassResult{0, 0}));
}

TEST(RunScan, DocumentsAddUp) {
  const PassResult result = CountRunsInDocuments({"one two", "three", ""}, kTable);
  EXPECT_EQ(result.words, 3);
  EXPECT_EQ(result.checksum, 11U);
}

}  // namespace
}  // namespace vexa::compare
