#include "navigation/broadcast/keplerian_orbit.hpp"

#include <cmath>

namespace skyloam {
namespace {

// Below this size an angle's sine and cosine come from their Taylor
// polynomials, exact to double precision.
constexpr double kSmallAngle = 0.12;

struct SinCos {
  double sin;
  double cos;
};

// sin and cos of |d| <= kSmallAngle (the next terms stay below 2e-18).
inline SinCos small_angle_sincos(double d) {
  const double d2 = d * d;
  const double sin_d =
      d * (1.0 + d2 * (-1.0 / 6 + d2 * (1.0 / 120 + d2 * (-1.0 / 5040 + d2 * (1.0 / 362880)))));
  const double cos_d =
      1.0 + d2 * (-0.5 +
                  d2 * (1.0 / 24 + d2 * (-1.0 / 720 + d2 * (1.0 / 40320 + d2 * (-1.0 / 3628800)))));
  return {sin_d, cos_d};
}

// sin and cos of a + d from those of a.
inline SinCos turned(const SinCos& a, double d) {
  const SinCos t =
      std::fabs(d) <= kSmallAngle ? small_angle_sincos(d) : SinCos{std::sin(d), std::cos(d)};
  return {a.sin * t.cos + a.cos * t.sin, a.cos * t.cos - a.sin * t.sin};
}

// sin and cos of the eccentric anomaly E solving E - e sin E = M, by
// Newton's method on d = E - M. Near-circular orbits (every GNSS orbit but
// a few) keep d small, so one sin and cos of M serve every iteration.
SinCos eccentric_anomaly(double mean_anomaly, double e) {
  const SinCos m{std::sin(mean_anomaly), std::cos(mean_anomaly)};
  double d = e * m.sin / (1.0 - e * m.cos);
  for (int i = 0; i < 12 && std::fabs(d) <= kSmallAngle; ++i) {
    const SinCos anomaly = turned(m, d);
    const double step = (d - e * anomaly.sin) / (1.0 - e * anomaly.cos);
    d -= step;
    if (std::fabs(step) < 1e-13) return turned(anomaly, -step);
  }
  double anomaly = mean_anomaly + d;
  for (int i = 0; i < 30; ++i) {
    const double step =
        (anomaly - e * std::sin(anomaly) - mean_anomaly) / (1.0 - e * std::cos(anomaly));
    anomaly -= step;
    if (std::fabs(step) < 1e-13) break;
  }
  return {std::sin(anomaly), std::cos(anomaly)};
}

constexpr double kGeoTilt = -5.0 * kRadiansPerDegree;

}  // namespace

KeplerianOrbit::KeplerianOrbit(const KeplerianElements& k, KeplerConstants constants,
                               bool geostationary, double toe_time)
    : toe_time_(toe_time),
      semi_major_axis_(k.sqrt_a * k.sqrt_a),
      mean_motion_(
          std::sqrt(constants.gm / (semi_major_axis_ * semi_major_axis_ * semi_major_axis_)) +
          k.mean_motion_difference),
      eccentricity_(k.eccentricity),
      axis_ratio_(std::sqrt(1.0 - k.eccentricity * k.eccentricity)),
      mean_anomaly_(k.mean_anomaly),
      sin_perigee_(std::sin(k.perigee)),
      cos_perigee_(std::cos(k.perigee)),
      sin_inclination_(std::sin(k.inclination)),
      cos_inclination_(std::cos(k.inclination)),
      inclination_rate_(k.inclination_rate),
      node_at_toe_(k.node - constants.earth_rate * k.toe),
      node_rate_(geostationary ? k.node_rate : k.node_rate - constants.earth_rate),
      cuc_(k.cuc),
      cus_(k.cus),
      crc_(k.crc),
      crs_(k.crs),
      cic_(k.cic),
      cis_(k.cis),
      earth_rate_(constants.earth_rate),
      geostationary_(geostationary) {}

Ecef KeplerianOrbit::position(double time) const {
  const double tk = time - toe_time_;
  const SinCos anomaly = eccentric_anomaly(mean_anomaly_ + mean_motion_ * tk, eccentricity_);
  const double denominator = 1.0 - eccentricity_ * anomaly.cos;
  const double sin_v = axis_ratio_ * anomaly.sin / denominator;
  const double cos_v = (anomaly.cos - eccentricity_) / denominator;
  // Argument of latitude phi = v + omega, and 2 phi.
  const SinCos phi{sin_v * cos_perigee_ + cos_v * sin_perigee_,
                   cos_v * cos_perigee_ - sin_v * sin_perigee_};
  const double sin_2phi = 2.0 * phi.sin * phi.cos;
  const double cos_2phi = phi.cos * phi.cos - phi.sin * phi.sin;
  const SinCos u = turned(phi, cus_ * sin_2phi + cuc_ * cos_2phi);
  const double radius = semi_major_axis_ * denominator + crs_ * sin_2phi + crc_ * cos_2phi;
  const SinCos i = turned({sin_inclination_, cos_inclination_},
                          cis_ * sin_2phi + cic_ * cos_2phi + inclination_rate_ * tk);
  const double x_orbit = radius * u.cos;
  const double y_orbit = radius * u.sin;
  const double node = node_at_toe_ + node_rate_ * tk;
  const double sin_node = std::sin(node), cos_node = std::cos(node);
  const double y_cos_i = y_orbit * i.cos;
  Ecef p{x_orbit * cos_node - y_cos_i * sin_node, x_orbit * sin_node + y_cos_i * cos_node,
         y_orbit * i.sin};
  if (!geostationary_) return p;
  const double y_tilted = std::cos(kGeoTilt) * p.y + std::sin(kGeoTilt) * p.z;
  const double z_tilted = -std::sin(kGeoTilt) * p.y + std::cos(kGeoTilt) * p.z;
  const double turn = earth_rate_ * tk;
  const double sin_turn = std::sin(turn), cos_turn = std::cos(turn);
  return {cos_turn * p.x + sin_turn * y_tilted, -sin_turn * p.x + cos_turn * y_tilted, z_tilted};
}

}  // namespace skyloam
