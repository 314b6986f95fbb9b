#include "utils/time/epoch.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace skyloam {
namespace {

Epoch make(std::int32_t y, std::uint32_t mo, std::uint32_t d, std::uint32_t h = 0,
           std::uint32_t mi = 0, double s = 0.0) {
  return Epoch{y, mo, d, h, mi, s};
}

std::string parse_error(std::string_view text) {
  const auto r = parse_epoch(text);
  return r ? std::string("<parsed>") : r.error().display();
}

TEST(ParseEpoch, IsoFormsWithUtcSuffixesAgree) {
  for (const char* text : {"2024-03-01T12:00:30.25Z", "2024-03-01T12:00:30.25+00:00",
                           "2024-03-01 12:00:30.25", "2024-03-01 12:00:30.25+00",
                           "  2024-03-01T12:00:30.25ZZ  "}) {
    const auto e = parse_epoch(text);
    ASSERT_TRUE(e) << text;
    EXPECT_EQ(to_iso(*e), "2024-03-01T12:00:30.250Z") << text;
  }
  EXPECT_EQ(parse_epoch("24-03-01T00:00:00")->year, 24);  // no expansion in ISO form
}

TEST(ParseEpoch, RinexFormExpandsTwoDigitYears) {
  EXPECT_EQ(parse_epoch("24 3 1 12 0 30.25")->year, 2024);
  EXPECT_EQ(parse_epoch("80 1 1 0 0 0")->year, 1980);
  EXPECT_EQ(parse_epoch("99 12 31 23 59 59.5")->year, 1999);
  EXPECT_EQ(parse_epoch("-5 1 1 0 0 0")->year, 1995);
  EXPECT_EQ(parse_epoch("2024 3 1 12 0 30.25 extra")->second, 30.25);
}

TEST(ParseEpoch, ReportsTheFailingPiece) {
  EXPECT_EQ(parse_error("2024 3 1 12 0"),
            "Invalid epoch format: Insufficient components in epoch string: '2024 3 1 12 0'");
  EXPECT_EQ(parse_error("2024 3 x 12 0 0"), "Integer parse error: invalid digit found in string");
  EXPECT_EQ(parse_error("2024 3 1 12 0 x"), "Float parse error: invalid float literal");
  EXPECT_EQ(parse_error("2024-03-01T12:00"), "Invalid epoch format: Invalid time format: '12:00'");
  EXPECT_EQ(parse_error("2024-03-01_12:00:00"),
            "Invalid epoch format: Cannot parse epoch: '2024-03-01_12:00:00'");
  EXPECT_EQ(parse_error("2024/03/01"),
            "Invalid epoch format: Insufficient components in epoch string: '2024/03/01'");
  EXPECT_EQ(parse_error("2024-1x-01T00:00:00"), "Invalid epoch format: Invalid month: '1x'");
  EXPECT_EQ(parse_error("2024-03-01T12:00:30+01:00"),
            "Invalid epoch format: Invalid second: '30+01'");
  EXPECT_EQ(parse_error("T"), "Invalid epoch format: Invalid date format: ''");
  EXPECT_EQ(parse_error("-+00:00"), "Invalid epoch format: Cannot parse epoch: '-'");
}

TEST(EpochConversions, UnixTimeAndMilliseconds) {
  EXPECT_EQ(unix_seconds(make(1970, 1, 1, 0, 0, 0.5)), 0.5);
  EXPECT_EQ(unix_seconds(make(2024, 3, 1, 12, 0, 30.25)), 1709294430.25);
  EXPECT_EQ(unix_millis(make(2024, 3, 1, 12, 0, 30.25)), 1709294430250);
  EXPECT_EQ(unix_millis(make(1969, 12, 31, 23, 59, 59.9996)), -1);
  // A negative second counts as the minute's start plus its fraction.
  EXPECT_EQ(to_iso(make(2024, 1, 1, 0, 0, -0.5)), "2024-01-01T00:00:00.500Z");
}

TEST(EpochConversions, GpsTime) {
  EXPECT_EQ(to_gps_time(make(1980, 1, 6)), std::make_pair(0u, 0.0));
  EXPECT_EQ(to_gps_time(make(2024, 3, 1, 12, 0, 30.25)), std::make_pair(2303u, 475230.25));
  EXPECT_EQ(to_gps_time(make(1980, 1, 5)), std::make_pair(0u, -86400.0));
}

TEST(EpochConversions, JulianDateAndDayOfYear) {
  EXPECT_EQ(julian_date(make(2000, 1, 1, 12)), 2451545.0);
  EXPECT_EQ(day_of_year(make(2024, 12, 31)), 366u);
  EXPECT_EQ(day_of_year(make(2024, 2, 30)), 1u);
}

TEST(EpochConversions, InvalidFieldsUseTheCurrentTime) {
  const double now = unix_seconds(make(2024, 13, 1));
  const double leap = unix_seconds(make(2016, 12, 31, 23, 59, 60.0));
  EXPECT_GT(now, 1.7e9);
  EXPECT_GT(leap, 1.7e9);
  EXPECT_GT(unix_seconds(make(300000, 1, 1)), 1.7e9);
}

TEST(SecondsBetween, IsExactForTheFieldsAsWritten) {
  EXPECT_EQ(seconds_between(make(2024, 1, 15, 0, 0, 30.0), make(2024, 1, 15)), 30.0);
  EXPECT_EQ(seconds_between(make(2024, 1, 16), make(2024, 1, 15, 23, 59, 30.0)), 30.0);
  EXPECT_EQ(seconds_between(make(2024, 3, 1), make(2024, 2, 28)), 2 * 86400.0);
  EXPECT_EQ(seconds_between(make(2024, 1, 1, 10), make(2024, 1, 1, 9, 59, 30.0)), 30.0);
  EXPECT_EQ(seconds_between(make(2024, 1, 1), make(2024, 1, 1, 0, 0, 30.0)), -30.0);
  // Agrees with the Julian-date formula to its resolution.
  const Epoch a = make(2021, 7, 4, 13, 17, 12.5), b = make(2020, 12, 31, 23, 59, 59.0);
  EXPECT_NEAR(seconds_between(a, b), (julian_date(a) - julian_date(b)) * 86400.0, 1e-4);
}

TEST(SecondsBetween, OrdersEpochs) {
  EXPECT_TRUE(epoch_before(make(2024, 1, 1), make(2024, 1, 1, 0, 0, 0.001)));
  EXPECT_FALSE(epoch_before(make(2024, 1, 1), make(2024, 1, 1)));
}

}  // namespace
}  // namespace skyloam
