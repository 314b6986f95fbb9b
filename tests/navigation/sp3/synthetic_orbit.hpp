// Orbits made up for tests: records at chosen times from a chosen function.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "navigation/sp3/sp3_data.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam::testing {

// `base` (whole seconds) plus `seconds` (may be fractional or negative), as
// calendar fields.
inline Epoch epoch_after(const Epoch& base, double seconds) {
  const double whole = std::floor(seconds);
  const std::int64_t base_seconds = static_cast<std::int64_t>(base.hour) * 3600 +
                                     static_cast<std::int64_t>(base.minute) * 60 +
                                     static_cast<std::int64_t>(base.second);
  const std::int64_t total = base_seconds + static_cast<std::int64_t>(whole);
  std::int64_t days = total / 86400;
  std::int64_t of_day = total % 86400;
  if (of_day < 0) {
    of_day += 86400;
    --days;
  }
  const CivilDate date = civil_from_days(days_from_civil(base.year, base.month, base.day) + days);
  return Epoch{static_cast<std::int32_t>(date.year), date.month, date.day,
               static_cast<std::uint32_t>(of_day / 3600),
               static_cast<std::uint32_t>(of_day % 3600 / 60),
               static_cast<double>(of_day % 60) + (seconds - whole)};
}

struct SampledValues {
  double x, y, z, clock;
};

// One record per offset (seconds after `base`), values from `at(offset)`.
inline std::vector<Sp3Record> sample_records(const Epoch& base, const std::vector<double>& offsets,
                                             const std::function<SampledValues(double)>& at) {
  std::vector<Sp3Record> records;
  for (const double offset : offsets) {
    const SampledValues v = at(offset);
    records.push_back({epoch_after(base, offset), v.x, v.y, v.z, v.clock});
  }
  return records;
}

inline std::vector<double> regular_offsets(std::size_t count, double step, double first = 0.0) {
  std::vector<double> offsets;
  for (std::size_t i = 0; i < count; ++i) offsets.push_back(first + static_cast<double>(i) * step);
  return offsets;
}

inline Sp3Data single_satellite(const Satellite& satellite, std::vector<Sp3Record> records) {
  std::vector<SatelliteRecords> satellites;
  satellites.push_back({satellite, std::move(records)});
  return Sp3Data(0, 900.0, std::move(satellites));
}

}  // namespace skyloam::testing
