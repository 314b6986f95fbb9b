// Proleptic Gregorian calendar arithmetic on plain integers.
//
// Day numbers count from 1970-01-01 (day 0). The representable range is the
// years -262143 to 262143; dates outside it are not valid dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace skyloam {

inline constexpr std::int64_t kMinCalendarYear = -262143;
inline constexpr std::int64_t kMaxCalendarYear = 262143;

struct CivilDate {
  std::int64_t year;
  std::uint32_t month;
  std::uint32_t day;
};

// A validated instant: whole days since 1970-01-01, seconds of that day and
// nanoseconds (0 <= nanos < 1e9).
struct CalendarTime {
  std::int64_t days;
  std::uint32_t seconds_of_day;
  std::uint32_t nanos;
};

bool is_leap_year(std::int64_t year);
std::uint32_t days_in_month(std::int64_t year, std::uint32_t month);
// True when year/month/day name a real date within the representable range.
bool is_valid_date(std::int64_t year, std::uint32_t month, std::uint32_t day);

std::int64_t days_from_civil(std::int64_t year, std::uint32_t month, std::uint32_t day);
CivilDate civil_from_days(std::int64_t days);
// Day of the year, 1 to 366, of a valid date.
std::uint32_t ordinal_day(std::int64_t year, std::uint32_t month, std::uint32_t day);

// The system's UTC wall clock.
CalendarTime now_utc();

// "%Y-%m-%dT%H:%M:%S%.3fZ": four-digit year (a sign and more digits outside
// 0..9999), milliseconds truncated.
std::string format_iso(const CalendarTime& time);

// The ISO text of an instant given as Unix seconds; absent when the instant
// lies outside the representable calendar range.
std::optional<std::string> iso_from_unix_seconds(double seconds);

}  // namespace skyloam
