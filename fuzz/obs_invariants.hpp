// The invariants of an observation data set that hold whatever input it was
// read from, and of the analyses run on it. Every fuzz target that reads
// observations checks its results with these; a violation aborts.
#pragma once

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::fuzz {

// The stored epochs, the satellite list, the per-system queries, the SNR
// series and the interval.
void check_obs_data(const ObsData& data);

// The multipath analysis under the default settings and under settings that
// keep even the shortest arcs, so that small inputs reach every stage.
void check_multipath(const ObsData& data);

// A read result: a failure has a display text; a data set passes both
// checks above.
void check_obs_result(const Result<ObsData>& result);

}  // namespace skyloam::fuzz
