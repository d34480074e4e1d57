#include "bench/compare/median.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vexa::compare {
namespace {

TEST(Median, OfAnOddCountIsTheMiddleValue) { EXPECT_DOUBLE_EQ(Median({5.0, 1.0, 9.0, 3.0, 100.0}), 5.0); }

TEST(Median, OfAnEvenCountIsTheMeanOfTheMiddleTwo) { EXPECT_DOUBLE_EQ(Median({4.0, 1.0, 2.0, 10.0}), 3.0); }

TEST(Median, OfOneValueIsThatValue) { EXPECT_DOUBLE_EQ(Median({0.25}), 0.25); }

TEST(Median, OfNothingIsAnError) { EXPECT_THROW(Median({}), std::invalid_argument); }

}  // namespace
}  // namespace vexa::compare
