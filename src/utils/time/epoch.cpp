#include "utils/time/epoch.hpp"

#include <cmath>
#include <stdexcept>

namespace skyloam {
namespace {

constexpr std::uint32_t kMaxU32 = 4294967295u;

// Integer part of the time fields as a day number of the Julian-date formula:
// floor(30.6001 (m + 1)) + floor(365.25 (y + 4716)) + day + B. Every term is
// an integer, so the sum is exact.
double julian_day_number(const Epoch& e) {
  double y = static_cast<double>(e.year);
  double m = static_cast<double>(e.month);
  if (e.month < 3) {
    y -= 1.0;
    m += 12.0;
  }
  const double a = std::trunc(y / 100.0);
  const double b = std::floor(a * 0.25) + (2.0 - a);
  return std::floor(30.6001 * (m + 1.0)) + std::floor(365.25 * (y + 4716.0)) +
         static_cast<double>(e.day) + b;
}

double seconds_of_day(const Epoch& e) {
  const std::int64_t whole = static_cast<std::int64_t>(e.hour) * 3600 +
                             static_cast<std::int64_t>(e.minute) * 60;
  return static_cast<double>(whole) + e.second;
}

std::uint32_t saturating_u32(double value) {
  if (std::isnan(value) || value <= 0.0) return 0;
  if (value >= static_cast<double>(kMaxU32)) return kMaxU32;
  return static_cast<std::uint32_t>(value);
}

std::uint64_t saturating_u64(double value) {
  if (std::isnan(value) || value <= 0.0) return 0;
  if (value >= 1.8446744073709552e19) return UINT64_MAX;
  return static_cast<std::uint64_t>(value);
}

}  // namespace

CalendarTime to_calendar_time(const Epoch& epoch) {
  const double floor_second = std::floor(epoch.second);
  const std::uint32_t whole_second = saturating_u32(floor_second);
  CalendarTime time{};
  if (is_valid_date(epoch.year, epoch.month, epoch.day) && epoch.hour <= 23 &&
      epoch.minute <= 59 && whole_second <= 59) {
    time.days = days_from_civil(epoch.year, epoch.month, epoch.day);
    time.seconds_of_day = epoch.hour * 3600 + epoch.minute * 60 + whole_second;
    time.nanos = 0;
  } else {
    time = now_utc();
  }
  const std::uint64_t extra_nanos = saturating_u64((epoch.second - floor_second) * 1e9);
  const std::uint64_t nanos = time.nanos + extra_nanos;
  const std::uint64_t carry_seconds = time.seconds_of_day + nanos / 1'000'000'000;
  time.nanos = static_cast<std::uint32_t>(nanos % 1'000'000'000);
  time.days += static_cast<std::int64_t>(carry_seconds / 86400);
  time.seconds_of_day = static_cast<std::uint32_t>(carry_seconds % 86400);
  if (time.days > days_from_civil(kMaxCalendarYear, 12, 31)) {
    throw std::overflow_error("date-time beyond the representable calendar range");
  }
  return time;
}

double unix_seconds(const Epoch& epoch) {
  const CalendarTime t = to_calendar_time(epoch);
  const std::int64_t whole = t.days * 86400 + t.seconds_of_day;
  return static_cast<double>(whole) + static_cast<double>(t.nanos) * 1e-9;
}

std::int64_t unix_millis(const Epoch& epoch) {
  const CalendarTime t = to_calendar_time(epoch);
  return (t.days * 86400 + t.seconds_of_day) * 1000 + t.nanos / 1'000'000;
}

double julian_date(const Epoch& e) {
  return julian_day_number(e) - 1524.5 +
         ((static_cast<double>(e.minute) / 60.0 + static_cast<double>(e.hour)) +
          e.second / 3600.0) /
             24.0;
}

double seconds_between(const Epoch& a, const Epoch& b) {
  const double days = julian_day_number(a) - julian_day_number(b);
  return days * 86400.0 + (seconds_of_day(a) - seconds_of_day(b));
}

std::string to_iso(const Epoch& epoch) { return format_iso(to_calendar_time(epoch)); }

std::pair<std::uint32_t, double> to_gps_time(const Epoch& epoch) {
  const CalendarTime t = to_calendar_time(epoch);
  const std::int64_t gps_origin_days = days_from_civil(1980, 1, 6);
  const std::int64_t s = (t.days - gps_origin_days) * 86400 + t.seconds_of_day;
  const std::int64_t n = t.nanos;
  const std::int64_t millis =
      (s < 0 && n > 0) ? (s + 1) * 1000 + (n - 1'000'000'000) / 1'000'000 : s * 1000 + n / 1'000'000;
  const double g = static_cast<double>(millis) / 1000.0;
  const std::uint32_t week = saturating_u32(std::floor(g / 604800.0));
  return {week, g + static_cast<double>(week) * -604800.0};
}

std::uint32_t day_of_year(const Epoch& epoch) {
  if (!is_valid_date(epoch.year, epoch.month, epoch.day)) return 1;
  return ordinal_day(epoch.year, epoch.month, epoch.day);
}

}  // namespace skyloam
