#include "analysis/multipath/elevation_fill.hpp"

#include <vector>

#include "navigation/elevation_batch.hpp"

namespace skyloam {

Epoch epoch_of_estimate(const CalendarTime& time) {
  const CivilDate date = civil_from_days(time.days);
  const std::uint32_t sod = time.seconds_of_day;
  const std::uint32_t millis = (sod % 60) * 1000 + time.nanos / 1'000'000;
  return {static_cast<std::int32_t>(date.year), date.month, date.day, sod / 3600, sod / 60 % 60,
          static_cast<double>(millis) / 1000.0};
}

ElevationCounts fill_elevations(AnalysisOutput& results, const OrbitSource& orbits,
                                const Ecef& receiver) {
  std::vector<SatelliteEpoch> queries;
  queries.reserve(results.estimates.size());
  for (const MpEstimate& e : results.estimates) {
    queries.push_back({e.satellite, epoch_of_estimate(e.time)});
  }
  const auto angles = azimuth_elevations(orbits, receiver, queries);
  std::uint64_t computed = 0;
  for (std::size_t i = 0; i < angles.size(); ++i) {
    // Negative years have no ISO text that reads back.
    if (!angles[i] || !(angles[i]->elevation > 0.0) || queries[i].epoch.year < 0) continue;
    results.estimates[i].elevation = angles[i]->elevation;
    results.estimates[i].azimuth = angles[i]->azimuth;
    ++computed;
  }
  if (computed > 0) refresh_weighted_rms(results.estimates, results.statistics);
  return {computed, results.estimates.size() - computed};
}

}  // namespace skyloam
