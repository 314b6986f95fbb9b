// One usable broadcast ephemeris: its orbit model, its reference time and
// the span of time it serves, all in continuous GPS seconds (see
// gnss_time.hpp).
#pragma once

#include <variant>

#include "geodesy/coordinates.hpp"
#include "navigation/broadcast/glonass_orbit.hpp"
#include "navigation/broadcast/keplerian_orbit.hpp"
#include "navigation/broadcast/sbas_orbit.hpp"

namespace skyloam {

using BroadcastOrbit = std::variant<KeplerianOrbit, GlonassOrbit, SbasOrbit>;

struct BroadcastEphemeris {
  BroadcastOrbit orbit;
  double reference = 0.0;  // toe, tb or t0
  double valid_from = 0.0;
  double valid_until = 0.0;

  bool covers(double time) const { return time >= valid_from && time <= valid_until; }
  Ecef position(double time) const {
    return std::visit([time](const auto& model) { return model.position(time); }, orbit);
  }
};

}  // namespace skyloam
