#include "navigation/sp3/split_time.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace skyloam {
namespace {

TEST(SplitTime, IntervalsEqualSecondsBetweenExactly) {
  const std::vector<Epoch> epochs = {
      {2020, 6, 25, 0, 0, 0.0},        {2020, 6, 25, 23, 59, 59.99999999},
      {2019, 12, 31, 23, 59, 30.125},  {2020, 1, 1, 0, 0, 0.1},
      {2016, 2, 29, 12, 0, 0.3},       {1994, 12, 17, 0, 15, 0.0},
      {2021, 4, 29, 0, 0, -0.5},       {2024, 3, 1, 30, 75, 61.7},  // fields as written
      {2024, 0, 0, 0, 0, 0.0},         {-4712, 1, 1, 12, 0, 0.0},
  };
  for (const Epoch& a : epochs) {
    for (const Epoch& b : epochs) {
      EXPECT_EQ(seconds_between(split_time(a), split_time(b)), seconds_between(a, b))
          << to_iso(a) << " " << to_iso(b);
    }
  }
}

}  // namespace
}  // namespace skyloam
