// Satellite state at any epoch from SP3 position records.
//
// `interpolate` runs Neville's scheme through the nine records nearest in
// time (see interpolation_nodes.hpp): the value at the target of the unique
// polynomial of degree at most 8 through them, for x, y, z and the clock.
// Velocity is the difference quotient (P(t+1 s) - P(t-1 s)) / 2 on the same
// nine points. Targets outside the records are extrapolated, however far.
//
// Nothing (no failure) when the satellite has fewer than nine records, the
// target's seconds are not finite, or the result is not finite. Calls only
// read the data set: concurrent calls need no locking.
#pragma once

#include <optional>

#include "navigation/sp3/sp3_data.hpp"

namespace skyloam {

struct SatelliteState {
  Satellite satellite;
  Epoch epoch;
  double x = 0.0;  // ECEF metres
  double y = 0.0;
  double z = 0.0;
  double vx = 0.0;  // ECEF metres per second
  double vy = 0.0;
  double vz = 0.0;
  double clock = 0.0;  // seconds
};

std::optional<SatelliteState> interpolate(const Sp3Data& sp3, const Satellite& satellite,
                                          const Epoch& epoch);
std::optional<SatelliteState> interpolate(const SatelliteOrbit& orbit, const Epoch& epoch);

}  // namespace skyloam
