#include "bench/compare/rounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>

namespace vexa::compare {
namespace {

constexpr std::size_t kContenders = std::size(kAllContenders);

TEST(RoundOrder, EveryRoundHoldsEveryPassOnce) {
  for (std::size_t round = 0; round < 15; ++round) {
    std::vector<ScheduledPass> order = RoundOrder(2, round);
    ASSERT_EQ(order.size(), 2 * kContenders);
    for (std::size_t language = 0; language < 2; ++language) {
      for (const Contender contender : kAllContenders) {
        EXPECT_EQ(std::count(order.begin(), order.end(), ScheduledPass{language, contender}), 1);
      }
    }
  }
}

TEST(RoundOrder, EachRoundStartsOnePlaceLater) {
  const std::vector<ScheduledPass> first = RoundOrder(2, 0);
  EXPECT_EQ(first.front(), (ScheduledPass{0, kAllContenders[0]}));
  EXPECT_EQ(first.back(), (ScheduledPass{1, kAllContenders[kContenders - 1]}));
  for (std::size_t round = 1; round < 2 * kContenders; ++round) {
    EXPECT_EQ(RoundOrder(2, round).front(), first[round]);
    EXPECT_EQ(RoundOrder(2, round).back(), first[round - 1]);
  }
  EXPECT_EQ(RoundOrder(2, 2 * kContenders), first);
}

TEST(MeasureRounds, TimesEveryPassOnceARoundAfterAnUntimedOne) {
  std::map<std::pair<std::size_t, Contender>, int> calls;
  const Measurements measurements = MeasureRounds(2, 3, [&](const ScheduledPass& pass) {
    ++calls[{pass.language, pass.contender}];
    return PassResult{static_cast<std::int64_t>(pass.language * 100 + ContenderIndex(pass.contender)), 7};
  });
  ASSERT_EQ(measurements.size(), 2U);
  for (std::size_t language = 0; language < 2; ++language) {
    ASSERT_EQ(measurements[language].size(), kContenders);
    for (const Contender contender : kAllContenders) {
      const PassMeasurement& measurement = measurements[language][ContenderIndex(contender)];
      EXPECT_EQ(measurement.result.words, static_cast<std::int64_t>(language * 100 + ContenderIndex(contender)));
      EXPECT_EQ(measurement.seconds.size(), 3U);
      for (const double seconds : measurement.seconds) EXPECT_GE(seconds, 0.0);
      EXPECT_EQ((calls[{language, contender}]), 4);
    }
  }
}

TEST(MeasureRounds, APassThatChangesItsResultIsAnError) {
  int bareScans = 0;
  const auto pass = [&](const ScheduledPass& scheduled) {
    if (scheduled.contender != Contender::kBareRunScan) return PassResult{1, 1};
    return PassResult{++bareScans < 3 ? 1 : 2, 1};
  };
  EXPECT_THROW(MeasureRounds(1, 5, pass), std::runtime_error);
}

}  // namespace
}  // namespace vexa::compare
