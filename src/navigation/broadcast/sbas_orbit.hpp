// The SBAS broadcast orbit: position, velocity and acceleration at t0,
// carried to another time by r0 + v dt + a dt^2 / 2 (Earth-fixed, WGS84).
#pragma once

#include <array>

#include "geodesy/coordinates.hpp"
#include "navigation/broadcast/state_vector.hpp"

namespace skyloam {

class SbasOrbit {
 public:
  // `state` at `t0`.
  SbasOrbit(const StateVector& state, double t0) : state_(state), t0_(t0) {}

  Ecef position(double time) const {
    const double dt = time - t0_;
    std::array<double, 3> p{};
    for (int i = 0; i < 3; ++i) {
      p[i] = state_.position[i] + dt * (state_.velocity[i] + 0.5 * dt * state_.acceleration[i]);
    }
    return {p[0], p[1], p[2]};
  }

 private:
  StateVector state_;
  double t0_;
};

}  // namespace skyloam
