#include "analysis/multipath/elevation_fill.hpp"

#include <optional>

#include "analysis/multipath/analysed_epochs.hpp"

namespace skyloam {

Epoch epoch_of_estimate(std::int64_t time_ms) {
  const CalendarTime time = calendar_from_millis(time_ms);
  const CivilDate date = civil_from_days(time.days);
  const std::uint32_t sod = time.seconds_of_day;
  const std::uint32_t millis = (sod % 60) * 1000 + time.nanos / 1'000'000;
  return {static_cast<std::int32_t>(date.year), date.month, date.day, sod / 3600, sod / 60 % 60,
          static_cast<double>(millis) / 1000.0};
}

std::vector<SatelliteEpoch> estimate_queries(const EstimateStore& estimates) {
  std::vector<SatelliteEpoch> queries;
  queries.reserve(estimates.size());
  for (std::size_t i = 0; i < estimates.size(); ++i) {
    queries.push_back({estimates.satellites()[static_cast<std::size_t>(estimates.satellite()[i])],
                       epoch_of_estimate(estimates.time_ms()[i])});
  }
  return queries;
}

ElevationCounts fill_elevations(AnalysisOutput& results, const OrbitSource& orbits,
                                const Ecef& receiver) {
  EstimateStore& estimates = results.estimates;
  const std::vector<SatelliteEpoch> queries = estimate_queries(estimates);
  const auto angles = azimuth_elevations(orbits, receiver, queries);
  std::optional<EstimateStore::Angles> stored;  // taken at the first write
  std::uint64_t computed = 0;
  for (std::size_t i = 0; i < angles.size(); ++i) {
    // Negative years have no ISO text that reads back.
    if (!angles[i] || !(angles[i]->elevation > 0.0) || queries[i].epoch.year < 0) continue;
    if (!stored) stored = estimates.writable_angles();
    stored->elevation[i] = angles[i]->elevation;
    stored->azimuth[i] = angles[i]->azimuth;
    ++computed;
  }
  if (computed > 0) refresh_weighted_rms(estimates, results.statistics);
  return {computed, estimates.size() - computed};
}

}  // namespace skyloam
