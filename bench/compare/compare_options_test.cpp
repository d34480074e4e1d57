#include "bench/compare/compare_options.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vexa::compare {
namespace {

TEST(CompareOptions, ADirectoryAloneRunsTheDefaultRounds) {
  const CompareOptions options = ParseCompareOptions({"/corpus"});
  EXPECT_EQ(options.corpusDir, "/corpus");
  EXPECT_EQ(options.rounds, kDefaultRounds);
}

TEST(CompareOptions, RoundsComeAsTwoArgumentsOrOne) {
  EXPECT_EQ(ParseCompareOptions({"--rounds", "3", "dir"}).rounds, 3U);
  EXPECT_EQ(ParseCompareOptions({"dir", "--rounds=1"}).rounds, 1U);
}

TEST(CompareOptions, RoundsMustBeAReasonableNumber) {
  for (const char* bad : {"0", "-1", "x", "", "1001", "99999999999"}) {
    EXPECT_THROW(ParseCompareOptions({"--rounds", bad, "dir"}), std::invalid_argument) << bad;
  }
  EXPECT_THROW(ParseCompareOptions({"dir", "--rounds"}), std::invalid_argument);
}

TEST(CompareOptions, ExactlyOneDirectory) {
  EXPECT_THROW(ParseCompareOptions({}), std::invalid_argument);
  EXPECT_THROW(ParseCompareOptions({"a", "b"}), std::invalid_argument);
  EXPECT_THROW(ParseCompareOptions({"--fast", "dir"}), std::invalid_argument);
}

}  // namespace
}  // namespace vexa::compare
