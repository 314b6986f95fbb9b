#include "navigation/broadcast/leap_seconds.hpp"

#include <array>

#include "navigation/broadcast/gnss_time.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam {
namespace {

struct LeapStep {
  std::int32_t year;
  std::uint32_t month;  // the count holds from the first day of this month
  std::int32_t gps_minus_utc;
};

constexpr std::array<LeapStep, 18> kLeapSteps = {{
    {1981, 7, 1},
    {1982, 7, 2},
    {1983, 7, 3},
    {1985, 7, 4},
    {1988, 1, 5},
    {1990, 1, 6},
    {1991, 1, 7},
    {1992, 7, 8},
    {1993, 7, 9},
    {1994, 7, 10},
    {1996, 1, 11},
    {1997, 7, 12},
    {1999, 1, 13},
    {2006, 1, 14},
    {2009, 1, 15},
    {2012, 7, 16},
    {2015, 7, 17},
    {2017, 1, 18},
}};

double step_time(const LeapStep& step) {
  return static_cast<double>(days_from_civil(step.year, step.month, 1) -
                             days_from_civil(1980, 1, 6)) *
         kSecondsPerDay;
}

}  // namespace

std::int32_t tabulated_leap_seconds(double utc_seconds) {
  std::int32_t count = 0;
  for (const LeapStep& step : kLeapSteps) {
    if (utc_seconds < step_time(step)) break;
    count = step.gps_minus_utc;
  }
  return count;
}

std::int32_t LeapSeconds::at_utc(double utc_seconds) const {
  if (header_ && utc_seconds >= kLeapTableKnownUntil) return *header_;
  return tabulated_leap_seconds(utc_seconds);
}

}  // namespace skyloam
