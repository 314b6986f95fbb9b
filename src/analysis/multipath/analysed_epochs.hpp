// The epochs one analysis reads and their times.
//
// `thin_epochs` picks the epochs (all, or every step-th one under a limit).
// `EpochTimes` converts each picked epoch to a validated calendar time once;
// every output record and every millisecond key of the pipeline comes from
// that table. Epochs whose fields do not form a date-time take the current
// UTC time (plus their fraction of a second, as elsewhere in the system),
// read from the clock at most once per table so that one analysis never sees
// two different "nows".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"
#include "utils/time/calendar.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

// With a non-zero limit smaller than the number of epochs n, epochs 0, step,
// 2 step, ... with step = ceil(n / limit); otherwise every epoch. File order.
std::vector<const ObsEpoch*> thin_epochs(const ObsData& data,
                                         std::optional<std::uint64_t> max_epochs);

// Milliseconds since 1970-01-01T00:00:00, sub-millisecond part dropped.
inline std::int64_t calendar_millis(const CalendarTime& time) {
  return (time.days * 86400 + time.seconds_of_day) * 1000 + time.nanos / 1'000'000;
}

// The calendar time of `calendar_millis`: the same ISO text as the time it
// came from, which the milliseconds name exactly.
inline CalendarTime calendar_from_millis(std::int64_t millis) {
  constexpr std::int64_t kMillisPerDay = 86'400'000;
  std::int64_t days = millis / kMillisPerDay;
  std::int64_t of_day = millis % kMillisPerDay;
  if (of_day < 0) {
    of_day += kMillisPerDay;
    --days;
  }
  return {days, static_cast<std::uint32_t>(of_day / 1000),
          static_cast<std::uint32_t>(of_day % 1000) * 1'000'000};
}

// Seconds since 1970-01-01T00:00:00: the whole seconds plus the nanoseconds,
// as unix_seconds gives them for an epoch.
inline double calendar_seconds(const CalendarTime& time) {
  return static_cast<double>(time.days * 86400 + time.seconds_of_day) +
         static_cast<double>(time.nanos) * 1e-9;
}

// The date-time of the fields when they form one (the rule of
// to_calendar_time), else `now` plus the fraction of the second.
CalendarTime calendar_time_or(const Epoch& epoch, const CalendarTime& now);

class EpochTimes {
 public:
  // `now` stands in for invalid epochs; when absent the clock is read once,
  // and only if some epoch needs it.
  explicit EpochTimes(std::span<const ObsEpoch* const> epochs,
                      std::optional<CalendarTime> now = std::nullopt);

  std::size_t size() const { return calendar_.size(); }
  const CalendarTime& calendar(std::size_t epoch) const { return calendar_[epoch]; }
  std::int64_t millis(std::size_t epoch) const { return millis_[epoch]; }
  double seconds(std::size_t epoch) const { return calendar_seconds(calendar_[epoch]); }

 private:
  std::vector<CalendarTime> calendar_;
  std::vector<std::int64_t> millis_;
};

}  // namespace skyloam
