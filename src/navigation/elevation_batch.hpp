// Azimuth and elevation of many (satellite, epoch) queries against one
// receiver: the geometry of the elevation fill-in of multipath estimates.
//
// Each answer is what the orbit source's position followed by
// azimuth_elevation gives for that query alone; nothing when the source has
// no position. Queries that repeat a (satellite, epoch) pair (one per signal
// of a satellite) reuse the first one's answer instead of asking the source
// again, so the work grows with the number of distinct pairs. Callers apply their own horizon rule (an
// elevation of 0 or below is a failure for the multipath results).
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "geodesy/coordinates.hpp"
#include "navigation/orbit_source.hpp"

namespace skyloam {

struct SatelliteEpoch {
  Satellite satellite;
  Epoch epoch;
};

// One answer per query, in query order.
std::vector<std::optional<AzEl>> azimuth_elevations(const OrbitSource& orbits, const Ecef& receiver,
                                                    std::span<const SatelliteEpoch> queries);

}  // namespace skyloam
