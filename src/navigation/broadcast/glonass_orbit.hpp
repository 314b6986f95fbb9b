// The GLONASS FDMA broadcast orbit: the PZ-90 state at tb (position,
// velocity and the luni-solar acceleration, held constant) carried to
// another time by integrating the equations of motion of the GLONASS ICD
// in the rotating Earth-fixed frame with the classical fourth-order
// Runge-Kutta scheme: central body, the J2 zonal term, the centrifugal and
// Coriolis terms of the rotation, plus the broadcast luni-solar terms.
//
// The integration runs in whole steps of kGlonassStep seconds from tb,
// then one partial step to the target, so a position depends only on the
// ephemeris and the target time.
#pragma once

#include "geodesy/coordinates.hpp"
#include "navigation/broadcast/state_vector.hpp"

namespace skyloam {

inline constexpr double kGlonassStep = 60.0;  // seconds

class GlonassOrbit {
 public:
  // `state` in PZ-90; `tb`: its time on the continuous scale positions are asked in.
  GlonassOrbit(const StateVector& state, double tb) : state_(state), tb_(tb) {}

  Ecef position(double time) const;

 private:
  StateVector state_;
  double tb_;
};

}  // namespace skyloam
