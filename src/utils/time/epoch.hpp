// Epoch: calendar fields exactly as written in an input file.
//
// No invariant is enforced: any field values are stored. Conversions that
// need a real date-time (`to_calendar_time` and everything built on it) use
// the current UTC time instead when the fields do not form one. Intervals
// between epochs are always measured with `seconds_between`, which is exact
// for the fields as written (whole days times 86400 plus the difference of
// the times of day), so 30 s sampling measures as exactly 30.0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "error/gnss_error.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam {

struct Epoch {
  std::int32_t year = 2000;
  std::uint32_t month = 1;
  std::uint32_t day = 1;
  std::uint32_t hour = 0;
  std::uint32_t minute = 0;
  double second = 0.0;
};

// Parses RINEX-style ("24 3 1 12 0 30.25") or ISO ("2024-03-01T12:00:30.25Z")
// text.
Result<Epoch> parse_epoch(std::string_view text);

// The validated date-time of the fields, or the current UTC time when they
// do not form one (a leap second counts as invalid).
CalendarTime to_calendar_time(const Epoch& epoch);

double unix_seconds(const Epoch& epoch);
// Floor of the exact time in milliseconds since 1970-01-01T00:00:00.
std::int64_t unix_millis(const Epoch& epoch);

// Meeus's Julian date from the raw fields (no validation).
double julian_date(const Epoch& epoch);

// a - b in seconds: the Julian-date difference times 86400, computed exactly.
double seconds_between(const Epoch& a, const Epoch& b);

// True when a lies more than a nanosecond before b.
inline bool epoch_before(const Epoch& a, const Epoch& b) { return seconds_between(a, b) <= -1e-9; }

std::string to_iso(const Epoch& epoch);

// (week, seconds of week) since 1980-01-06, no leap seconds applied.
std::pair<std::uint32_t, double> to_gps_time(const Epoch& epoch);

// Ordinal day 1..366 of a valid date, else 1.
std::uint32_t day_of_year(const Epoch& epoch);

}  // namespace skyloam
