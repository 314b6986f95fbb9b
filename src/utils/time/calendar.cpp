#include "utils/time/calendar.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace skyloam {

bool is_leap_year(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::uint32_t days_in_month(std::int64_t year, std::uint32_t month) {
  static constexpr std::uint32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

bool is_valid_date(std::int64_t year, std::uint32_t month, std::uint32_t day) {
  return year >= kMinCalendarYear && year <= kMaxCalendarYear && month >= 1 && month <= 12 &&
         day >= 1 && day <= days_in_month(year, month);
}

// Howard Hinnant's days_from_civil, valid far beyond the calendar range.
std::int64_t days_from_civil(std::int64_t year, std::uint32_t month, std::uint32_t day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (static_cast<std::int64_t>(month) + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + static_cast<std::int64_t>(day) - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate civil_from_days(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const auto day = static_cast<std::uint32_t>(doy - (153 * mp + 2) / 5 + 1);
  const auto month = static_cast<std::uint32_t>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::uint32_t ordinal_day(std::int64_t year, std::uint32_t month, std::uint32_t day) {
  return static_cast<std::uint32_t>(days_from_civil(year, month, day) -
                                    days_from_civil(year, 1, 1) + 1);
}

CalendarTime now_utc() {
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch).count();
  std::int64_t secs = ns / 1'000'000'000;
  std::int64_t nanos = ns % 1'000'000'000;
  if (nanos < 0) {
    nanos += 1'000'000'000;
    --secs;
  }
  std::int64_t days = secs / 86400;
  std::int64_t sod = secs % 86400;
  if (sod < 0) {
    sod += 86400;
    --days;
  }
  return {days, static_cast<std::uint32_t>(sod), static_cast<std::uint32_t>(nanos)};
}

std::string format_iso(const CalendarTime& time) {
  const CivilDate date = civil_from_days(time.days);
  char year[32];
  if (date.year >= 0 && date.year <= 9999) {
    std::snprintf(year, sizeof year, "%04lld", static_cast<long long>(date.year));
  } else {
    const long long magnitude = date.year < 0 ? -date.year : date.year;
    std::snprintf(year, sizeof year, "%c%04lld", date.year < 0 ? '-' : '+', magnitude);
  }
  char text[96];
  std::snprintf(text, sizeof text, "%s-%02u-%02uT%02u:%02u:%02u.%03uZ", year, date.month, date.day,
                time.seconds_of_day / 3600, time.seconds_of_day / 60 % 60,
                time.seconds_of_day % 60, time.nanos / 1'000'000);
  return text;
}

namespace {

// Saturating float-to-integer conversion; NaN gives 0.
std::int64_t saturating_i64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2233720368547758e18) return INT64_MAX;
  if (value <= -9.2233720368547758e18) return INT64_MIN;
  return static_cast<std::int64_t>(value);
}

}  // namespace

std::optional<std::string> iso_from_unix_seconds(double seconds) {
  const double whole = std::floor(seconds);
  const std::int64_t secs = saturating_i64(whole);
  const double frac = (seconds - whole) * 1e9;
  const auto nanos =
      static_cast<std::uint32_t>(std::isnan(frac) || frac < 0 ? 0.0 : std::min(frac, 999999999.0));
  std::int64_t days = secs / 86400;
  std::int64_t sod = secs % 86400;
  if (sod < 0) {
    sod += 86400;
    --days;
  }
  if (days < days_from_civil(kMinCalendarYear, 1, 1) ||
      days > days_from_civil(kMaxCalendarYear, 12, 31)) {
    return std::nullopt;
  }
  return format_iso({days, static_cast<std::uint32_t>(sod), nanos});
}

}  // namespace skyloam
