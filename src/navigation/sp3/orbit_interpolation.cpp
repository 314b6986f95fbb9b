#include "navigation/sp3/orbit_interpolation.hpp"

#include <array>
#include <cmath>

#include "navigation/sp3/interpolation_nodes.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kPoints = kInterpolationPoints;

// The ten Neville evaluations share their nodes, so they run side by side as
// lanes: x, y, z and clock at the target, then x, y, z one second later and
// one second earlier (for the velocity).
constexpr std::size_t kLanes = 10;
constexpr std::array<double, kLanes> kLaneTime = {0, 0, 0, 0, 1, 1, 1, -1, -1, -1};

using Lanes = std::array<double, kLanes>;

Lanes lane_values(const Sp3Record& r) {
  return {r.x, r.y, r.z, r.clock, r.x, r.y, r.z, r.x, r.y, r.z};
}

Lanes evaluate(const InterpolationNodes& nodes) {
  std::array<Lanes, kPoints> p;
  std::array<Lanes, kPoints> d;  // node time minus evaluation time
  for (std::size_t i = 0; i < kPoints; ++i) {
    p[i] = lane_values(*nodes.records[i]);
    for (std::size_t lane = 0; lane < kLanes; ++lane) d[i][lane] = nodes.times[i] - kLaneTime[lane];
  }
  const auto& t = nodes.times;
  for (std::size_t k = 1; k < kPoints; ++k) {
    for (std::size_t i = 0; i + k < kPoints; ++i) {
      const double inverse_span = 1.0 / (t[i + k] - t[i]);
      for (std::size_t lane = 0; lane < kLanes; ++lane) {
        p[i][lane] = (p[i][lane] * d[i + k][lane] - p[i + 1][lane] * d[i][lane]) * inverse_span;
      }
    }
  }
  return p[0];
}

bool all_finite(const Lanes& values) {
  for (const double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

std::optional<SatelliteState> interpolate(const SatelliteOrbit& orbit, const Epoch& epoch) {
  const std::optional<InterpolationNodes> nodes = nearest_nodes(orbit, epoch);
  if (!nodes) return std::nullopt;
  const Lanes v = evaluate(*nodes);
  if (!all_finite(v)) return std::nullopt;
  SatelliteState state{orbit.satellite(), epoch, v[0], v[1], v[2],
                       (v[4] - v[7]) * 0.5, (v[5] - v[8]) * 0.5, (v[6] - v[9]) * 0.5,
                       v[3] * 1e-6};
  return state;
}

std::optional<SatelliteState> interpolate(const Sp3Data& sp3, const Satellite& satellite,
                                          const Epoch& epoch) {
  const SatelliteOrbit* orbit = sp3.orbit(satellite);
  if (orbit == nullptr) return std::nullopt;
  return interpolate(*orbit, epoch);
}

}  // namespace skyloam
