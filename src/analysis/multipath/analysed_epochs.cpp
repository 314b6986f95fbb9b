#include "analysis/multipath/analysed_epochs.hpp"

#include <algorithm>
#include <cmath>

namespace skyloam {
namespace {

// The whole second to_calendar_time validates: floor(second) clamped to
// 0 .. 4294967295.
double clamped_whole_second(double second) {
  const double whole = std::floor(second);
  if (std::isnan(whole) || whole <= 0.0) return 0.0;
  return std::min(whole, 4294967295.0);
}

bool forms_date_time(const Epoch& e) {
  return is_valid_date(e.year, e.month, e.day) && e.hour <= 23 && e.minute <= 59 &&
         clamped_whole_second(e.second) <= 59.0;
}

std::uint32_t fraction_nanos(double second) {
  const double nanos = (second - std::floor(second)) * 1e9;
  if (!(nanos > 0.0)) return 0;  // also NaN from infinite seconds
  return nanos >= 999999999.0 ? 999999999u : static_cast<std::uint32_t>(nanos);
}

CalendarTime plus_nanos(CalendarTime time, std::uint32_t nanos) {
  const std::uint64_t total = std::uint64_t{time.nanos} + nanos;
  const std::uint64_t seconds = std::uint64_t{time.seconds_of_day} + total / 1'000'000'000;
  time.nanos = static_cast<std::uint32_t>(total % 1'000'000'000);
  time.days += static_cast<std::int64_t>(seconds / 86400);
  time.seconds_of_day = static_cast<std::uint32_t>(seconds % 86400);
  return time;
}

}  // namespace

std::vector<const ObsEpoch*> thin_epochs(const ObsData& data,
                                         std::optional<std::uint64_t> max_epochs) {
  const std::vector<ObsEpoch>& all = data.epochs();
  const std::uint64_t n = all.size();
  std::uint64_t step = 1;
  if (max_epochs && *max_epochs != 0 && *max_epochs < n) {
    step = n / *max_epochs + (n % *max_epochs != 0 ? 1 : 0);
  }
  std::vector<const ObsEpoch*> picked;
  picked.reserve(static_cast<std::size_t>(n / step + 1));
  for (std::uint64_t i = 0; i < n; i += step) picked.push_back(&all[static_cast<std::size_t>(i)]);
  return picked;
}

CalendarTime calendar_time_or(const Epoch& epoch, const CalendarTime& now) {
  // A valid epoch never reaches the clock inside to_calendar_time.
  if (forms_date_time(epoch)) return to_calendar_time(epoch);
  return plus_nanos(now, fraction_nanos(epoch.second));
}

EpochTimes::EpochTimes(std::span<const ObsEpoch* const> epochs, std::optional<CalendarTime> now) {
  calendar_.reserve(epochs.size());
  millis_.reserve(epochs.size());
  for (const ObsEpoch* epoch : epochs) {
    if (!now && !forms_date_time(epoch->time)) now = now_utc();
    const CalendarTime time = calendar_time_or(epoch->time, now.value_or(CalendarTime{}));
    calendar_.push_back(time);
    millis_.push_back(calendar_millis(time));
  }
}

}  // namespace skyloam
