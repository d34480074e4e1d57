#include "bench/corpus/frequency_ranking.h"

#include <gtest/gtest.h>

namespace vexa::bench {
namespace {

TEST(MostFrequent, PutsTheMostFrequentFirstAndTiesInByteOrder) {
  const Tally tally{{"OF", 2}, {"THE", 5}, {"AND", 2}, {"CAT", 1}};
  EXPECT_EQ(MostFrequent(tally, 10), (std::vector<std::string>{"THE", "AND", "OF", "CAT"}));
}

TEST(MostFrequent, GivesAtMostTheCountAskedFor) {
  const Tally tally{{"A", 3}, {"B", 2}, {"C", 1}};
  EXPECT_EQ(MostFrequent(tally, 2), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(MostFrequent(tally, 0).empty());
  EXPECT_TRUE(MostFrequent(Tally{}, 5).empty());
}

}  // namespace
}  // namespace vexa::bench
