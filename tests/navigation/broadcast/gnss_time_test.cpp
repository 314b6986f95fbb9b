#include "navigation/broadcast/gnss_time.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "navigation/broadcast/leap_seconds.hpp"

namespace skyloam {
namespace {

double seconds(const Epoch& e) { return *seconds_since_gps_origin(e); }

TEST(GnssTime, SecondsSinceTheGpsOrigin) {
  EXPECT_EQ(seconds({1980, 1, 6, 0, 0, 0.0}), 0.0);
  // 2020-06-25 12:00:30.5 is GPS week 2111, Thursday.
  EXPECT_EQ(seconds({2020, 6, 25, 12, 0, 30.5}), 2111 * kSecondsPerWeek + 4 * 86400 + 43230.5);
  EXPECT_EQ(seconds({1980, 1, 5, 23, 59, 59.0}), -1.0);
  for (const Epoch& bad :
       {Epoch{2021, 2, 29}, Epoch{2020, 13, 1}, Epoch{2020, 1, 1, 24}, Epoch{2020, 1, 1, 0, 60},
        Epoch{2020, 1, 1, 0, 0, -0.5}, Epoch{2020, 1, 1, 0, 0, 61.0},
        Epoch{2020, 1, 1, 0, 0, std::numeric_limits<double>::quiet_NaN()}}) {
    EXPECT_FALSE(seconds_since_gps_origin(bad).has_value()) << bad.year << "-" << bad.month;
  }
}

TEST(GnssTime, TimeOfWeekNearAnEpochCrossesWeekBoundaries) {
  const double saturday_night = seconds({2020, 6, 27, 23, 59, 44.0});
  // toe 0 belongs to the next week, toe 604784 to this one.
  EXPECT_EQ(time_of_week_near(0.0, saturday_night), seconds({2020, 6, 28}));
  EXPECT_EQ(time_of_week_near(604784.0, saturday_night), saturday_night);
  const double sunday_morning = seconds({2020, 6, 28, 0, 0, 16.0});
  EXPECT_EQ(time_of_week_near(604784.0, sunday_morning), saturday_night);
  // A toe days away stays days away (the records' sanity check sees it):
  // Thursday's is three days back.
  EXPECT_EQ(time_of_week_near(4 * 86400.0, sunday_morning) - sunday_morning, -3 * 86400.0 - 16.0);
}

TEST(LeapSeconds, TableAcrossTheLeapSecondsOf2015And2017) {
  EXPECT_EQ(tabulated_leap_seconds(seconds({1981, 6, 30, 23, 59, 59.0})), 0);
  EXPECT_EQ(tabulated_leap_seconds(seconds({1981, 7, 1})), 1);
  EXPECT_EQ(tabulated_leap_seconds(seconds({2015, 6, 30, 23, 59, 59.0})), 16);
  EXPECT_EQ(tabulated_leap_seconds(seconds({2015, 7, 1})), 17);
  EXPECT_EQ(tabulated_leap_seconds(seconds({2016, 12, 31, 23, 59, 59.0})), 17);
  EXPECT_EQ(tabulated_leap_seconds(seconds({2017, 1, 1})), 18);
  EXPECT_EQ(tabulated_leap_seconds(seconds({2024, 4, 1})), 18);
}

TEST(LeapSeconds, HeaderCountServesOnlyBeyondTheTable) {
  EXPECT_EQ(kLeapTableKnownUntil, seconds({2025, 7, 1}));
  const LeapSeconds stale_header(17);
  EXPECT_EQ(stale_header.at_utc(seconds({2020, 6, 25})), 18);
  EXPECT_EQ(stale_header.at_utc(seconds({2015, 6, 30})), 16);
  const LeapSeconds newer_header(19);
  EXPECT_EQ(newer_header.at_utc(seconds({2030, 1, 1})), 19);
  EXPECT_EQ(LeapSeconds().at_utc(seconds({2030, 1, 1})), 18);
}

}  // namespace
}  // namespace skyloam
