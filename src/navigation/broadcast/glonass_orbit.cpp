#include "navigation/broadcast/glonass_orbit.hpp"

#include <cmath>
#include <limits>

namespace skyloam {
namespace {

// GLONASS ICD (edition 5.1), PZ-90 constants.
constexpr double kGm = 398600.4418e9;            // m^3/s^2
constexpr double kEquatorialRadius = 6378136.0;  // m
constexpr double kJ2 = 1082625.75e-9;
constexpr double kEarthRate = 7.292115e-5;  // rad/s

using Vector = std::array<double, 3>;

struct Motion {
  Vector position;
  Vector velocity;
};

Vector acceleration(const Vector& r, const Vector& v, const Vector& luni_solar) {
  const double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
  const double radius = std::sqrt(r2);
  const double gm_r3 = kGm / (r2 * radius);
  const double j2_term =
      1.5 * kJ2 * kGm * kEquatorialRadius * kEquatorialRadius / (r2 * r2 * radius);
  const double z2_r2 = r[2] * r[2] / r2;
  const double w2 = kEarthRate * kEarthRate;
  return {-gm_r3 * r[0] - j2_term * r[0] * (1.0 - 5.0 * z2_r2) + w2 * r[0] +
              2.0 * kEarthRate * v[1] + luni_solar[0],
          -gm_r3 * r[1] - j2_term * r[1] * (1.0 - 5.0 * z2_r2) + w2 * r[1] -
              2.0 * kEarthRate * v[0] + luni_solar[1],
          -gm_r3 * r[2] - j2_term * r[2] * (3.0 - 5.0 * z2_r2) + luni_solar[2]};
}

Motion advanced(const Motion& m, const Vector& dr, const Vector& dv, double h) {
  Motion out;
  for (int i = 0; i < 3; ++i) {
    out.position[i] = m.position[i] + h * dr[i];
    out.velocity[i] = m.velocity[i] + h * dv[i];
  }
  return out;
}

Motion runge_kutta_step(const Motion& m, const Vector& luni_solar, double h) {
  const Vector k1v = acceleration(m.position, m.velocity, luni_solar);
  const Motion m2 = advanced(m, m.velocity, k1v, h / 2);
  const Vector k2v = acceleration(m2.position, m2.velocity, luni_solar);
  const Motion m3 = advanced(m, m2.velocity, k2v, h / 2);
  const Vector k3v = acceleration(m3.position, m3.velocity, luni_solar);
  const Motion m4 = advanced(m, m3.velocity, k3v, h);
  const Vector k4v = acceleration(m4.position, m4.velocity, luni_solar);
  Motion out;
  for (int i = 0; i < 3; ++i) {
    out.position[i] =
        m.position[i] +
        h / 6 * (m.velocity[i] + 2 * m2.velocity[i] + 2 * m3.velocity[i] + m4.velocity[i]);
    out.velocity[i] = m.velocity[i] + h / 6 * (k1v[i] + 2 * k2v[i] + 2 * k3v[i] + k4v[i]);
  }
  return out;
}

}  // namespace

Ecef GlonassOrbit::position(double time) const {
  Motion motion{state_.position, state_.velocity};
  const double span = time - tb_;
  const double step = span < 0 ? -kGlonassStep : kGlonassStep;
  const double whole_steps = std::floor(std::fabs(span) / kGlonassStep);
  // Bounded by the validity window of the ephemeris; a guard for any caller.
  if (!(whole_steps < 1e6)) {
    constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
    return {kNan, kNan, kNan};
  }
  for (double k = 0; k < whole_steps; ++k)
    motion = runge_kutta_step(motion, state_.acceleration, step);
  const double rest = span - whole_steps * step;
  if (rest != 0.0) motion = runge_kutta_step(motion, state_.acceleration, rest);
  return {motion.position[0], motion.position[1], motion.position[2]};
}

}  // namespace skyloam
