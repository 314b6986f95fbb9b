// Real elevations and azimuths for the multipath estimates, from any orbit
// source (SP3 precise orbits or broadcast ephemerides).
//
// Each estimate's satellite is placed at the epoch its ISO text names (its
// time to the millisecond) and seen from the receiver. An estimate
// whose position is known and above the horizon (elevation > 0) takes the
// elevation and azimuth and counts as computed; every other one keeps its
// values and counts as failed. When any was computed, the weighted RMS of
// every statistic is refreshed from all estimates (refresh_weighted_rms);
// nothing else changes, and no estimate is removed. Angle columns a reader
// shares are written as fresh copies, so the reader keeps the old angles.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/multipath/multipath_analysis.hpp"
#include "geodesy/coordinates.hpp"
#include "navigation/elevation_batch.hpp"
#include "navigation/orbit_source.hpp"

namespace skyloam {

struct ElevationCounts {
  std::uint64_t computed = 0;
  std::uint64_t failed = 0;
};

ElevationCounts fill_elevations(AnalysisOutput& results, const OrbitSource& orbits,
                                const Ecef& receiver);

// The epoch an estimate's ISO text names: its Unix milliseconds.
Epoch epoch_of_estimate(std::int64_t time_ms);
// Each estimate's satellite at its epoch, in estimate order.
std::vector<SatelliteEpoch> estimate_queries(const EstimateStore& estimates);

}  // namespace skyloam
