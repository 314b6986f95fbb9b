#include "analysis/advanced/arcs.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace skyloam {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(SplitArcs, CutsOnlyWhereTheStepIsStrictlyLongerThanTheGapLimit) {
  EXPECT_TRUE(split_arcs({}, 30.0, 5.0).empty());
  EXPECT_EQ(split_arcs(std::vector{0.0}, 30.0, 5.0), (std::vector<ArcRange>{{0, 1}}));
  // 150 s is exactly 5 x 30 s: not a gap.
  EXPECT_EQ(split_arcs(std::vector{0.0, 30.0, 60.0, 210.0, 240.0}, 30.0, 5.0),
            (std::vector<ArcRange>{{0, 5}}));
  EXPECT_EQ(split_arcs(std::vector{0.0, 30.0, 60.0, 211.0, 241.0}, 30.0, 5.0),
            (std::vector<ArcRange>{{0, 3}, {3, 5}}));
  EXPECT_EQ(split_arcs(std::vector{0.0, 1000.0, 2000.0}, 30.0, 5.0),
            (std::vector<ArcRange>{{0, 1}, {1, 2}, {2, 3}}));
}

TEST(SplitArcs, BackwardRepeatedAndNaNStepsNeverCut) {
  EXPECT_EQ(split_arcs(std::vector{100.0, 0.0, 0.0, kNaN, 10.0}, 1.0, 5.0),
            (std::vector<ArcRange>{{0, 5}}));
  // A NaN limit compares false as well.
  EXPECT_EQ(split_arcs(std::vector{0.0, 1e9}, kNaN, 5.0), (std::vector<ArcRange>{{0, 2}}));
}

TEST(MedianStep, MiddleDifferenceOrMeanOfTheTwoMiddleOnes) {
  EXPECT_FALSE(median_step({}).has_value());
  EXPECT_FALSE(median_step(std::vector{5.0}).has_value());
  EXPECT_EQ(median_step(std::vector{1.0, 4.5}), 3.5);
  EXPECT_EQ(median_step(std::vector{0.0, 30.0, 60.0, 150.0}), 30.0);        // 30 30 90
  EXPECT_EQ(median_step(std::vector{0.0, 10.0, 40.0, 100.0, 110.0}), 20.0);  // 10 30 60 10
}

TEST(MedianStep, NaNDifferencesSortLast) {
  // Differences 1, NaN, NaN, 2, 3 -> sorted 1 2 3 NaN NaN: middle 3.
  EXPECT_EQ(median_step(std::vector{0.0, 1.0, kNaN, 5.0, 7.0, 10.0}), 3.0);
  // Differences 1, 2, NaN -> 1 2 NaN: middle 2.
  EXPECT_EQ(median_step(std::vector{0.0, 1.0, 3.0, kNaN}), 2.0);
  EXPECT_TRUE(std::isnan(*median_step(std::vector{kNaN, kNaN, kNaN})));
}

}  // namespace
}  // namespace skyloam
