#include "utils/time/calendar.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace skyloam {
namespace {

TEST(Calendar, DayNumbersRoundTrip) {
  for (std::int64_t days : {-1000000LL, -1LL, 0LL, 59LL, 19782LL, 2932896LL}) {
    const CivilDate d = civil_from_days(days);
    EXPECT_EQ(days_from_civil(d.year, d.month, d.day), days);
  }
  EXPECT_EQ(days_from_civil(1970, 1, 1), 0);
  EXPECT_TRUE(is_valid_date(2000, 2, 29));
  EXPECT_FALSE(is_valid_date(1900, 2, 29));
  EXPECT_FALSE(is_valid_date(262144, 1, 1));
}

TEST(Calendar, IsoTextOfUnixSeconds) {
  EXPECT_EQ(iso_from_unix_seconds(1705276830.5).value(), "2024-01-15T00:00:30.500Z");
  EXPECT_EQ(iso_from_unix_seconds(1.25).value(), "1970-01-01T00:00:01.250Z");
  EXPECT_EQ(iso_from_unix_seconds(-0.5).value(), "1969-12-31T23:59:59.500Z");
  EXPECT_EQ(iso_from_unix_seconds(std::numeric_limits<double>::quiet_NaN()).value(),
            "1970-01-01T00:00:00.000Z");
  EXPECT_FALSE(iso_from_unix_seconds(1e300).has_value());
  EXPECT_FALSE(iso_from_unix_seconds(std::numeric_limits<double>::infinity()).has_value());
}

TEST(Calendar, YearsOutsideFourDigitsCarryASign) {
  EXPECT_EQ(format_iso({days_from_civil(12345, 1, 2), 0, 0}), "+12345-01-02T00:00:00.000Z");
  EXPECT_EQ(format_iso({days_from_civil(-1, 1, 2), 0, 0}), "-0001-01-02T00:00:00.000Z");
}

}  // namespace
}  // namespace skyloam
