// The orbit models against closed forms: Kepler's equation solved
// independently, a state carried without integration error, and the SBAS
// polynomial.
#include <gtest/gtest.h>

#include <cmath>

#include "navigation/broadcast/glonass_orbit.hpp"
#include "navigation/broadcast/keplerian_orbit.hpp"
#include "navigation/broadcast/sbas_orbit.hpp"

namespace skyloam {
namespace {

constexpr double kPi = 3.141592653589793;

// E - e sin E = M by bisection: slow, plainly right.
double eccentric_anomaly_by_bisection(double mean_anomaly, double e) {
  double low = mean_anomaly - 1.0, high = mean_anomaly + 1.0;
  for (int i = 0; i < 200; ++i) {
    const double middle = (low + high) / 2;
    (middle - e * std::sin(middle) < mean_anomaly ? low : high) = middle;
  }
  return (low + high) / 2;
}

TEST(KeplerianOrbit, PlanarOrbitsFollowKeplersEquation) {
  // In the equator, without corrections and with the node held still in
  // inertial space, the satellite sits at radius A (1 - e cos E) and at
  // longitude true anomaly + omega - OmegaE tk.
  for (const double e : {0.0, 0.003, 0.02, 0.075, 0.17, 0.29}) {
    KeplerianElements k;
    k.sqrt_a = 5440.6;
    k.eccentricity = e;
    k.mean_anomaly = 2.5;
    k.perigee = 0.7;
    k.node_rate = 0.0;
    const double toe_time = 1000.0;
    const KeplerianOrbit orbit(k, kGalileoConstants, false, toe_time);
    const double a = k.sqrt_a * k.sqrt_a;
    const double n = std::sqrt(kGalileoConstants.gm / (a * a * a));
    for (const double tk : {-3600.0, 0.0, 1234.5, 14400.0}) {
      const double big_e = eccentric_anomaly_by_bisection(k.mean_anomaly + n * tk, e);
      const double true_anomaly =
          std::atan2(std::sqrt(1 - e * e) * std::sin(big_e), std::cos(big_e) - e);
      const double longitude = true_anomaly + k.perigee - kGalileoConstants.earth_rate * tk;
      const Ecef p = orbit.position(toe_time + tk);
      const double radius = a * (1 - e * std::cos(big_e));
      EXPECT_NEAR(std::hypot(p.x, p.y), radius, 1e-6) << e << " " << tk;
      EXPECT_NEAR(p.z, 0.0, 1e-6);
      EXPECT_NEAR(std::remainder(std::atan2(p.y, p.x) - longitude, 2 * kPi), 0.0, 1e-13) << e;
    }
  }
}

TEST(KeplerianOrbit, InclinationAndNodePlaceThePlane) {
  // A circular polar orbit whose node stays on the x axis of the Earth-fixed
  // frame at toe: at a quarter orbit the satellite is over the pole.
  KeplerianElements k;
  k.sqrt_a = 5153.7;
  k.inclination = kPi / 2;
  const KeplerianOrbit orbit(k, kGpsConstants, false, 0.0);
  const double a = k.sqrt_a * k.sqrt_a;
  const double quarter = kPi / 2 / std::sqrt(kGpsConstants.gm / (a * a * a));
  const Ecef p = orbit.position(quarter);
  EXPECT_NEAR(p.z, a, 1e-6);
  EXPECT_NEAR(std::hypot(p.x, p.y), 0.0, 1e-6);
  EXPECT_NEAR(orbit.position(0.0).x, a, 1e-6);
}

TEST(GlonassOrbit, CarriesTheStateSmoothly) {
  StateVector state;
  state.position = {10900e3, -2880e3, 22880e3};
  state.velocity = {1400.0, 2800.0, -320.0};
  state.acceleration = {-1.9e-6, 0.0, -2.8e-6};
  const GlonassOrbit orbit(state, 5000.0);
  const Ecef at_tb = orbit.position(5000.0);
  EXPECT_EQ(at_tb.x, state.position[0]);
  EXPECT_EQ(at_tb.z, state.position[2]);
  // A second later the velocity has carried the satellite on.
  const Ecef later = orbit.position(5000.0 + 1.0);
  EXPECT_NEAR(later.x - at_tb.x, 1400.0, 0.5);
  // A whole step and the partial steps beside it join without a jump.
  for (const double boundary : {5000.0 + kGlonassStep, 5000.0 - 3 * kGlonassStep}) {
    const Ecef a = orbit.position(boundary - 1.0), b = orbit.position(boundary + 1.0);
    const Ecef before = orbit.position(boundary - 1e-3), after = orbit.position(boundary + 1e-3);
    EXPECT_NEAR(after.x - before.x, (b.x - a.x) * 1e-3, 1e-5);
    EXPECT_NEAR(after.y - before.y, (b.y - a.y) * 1e-3, 1e-5);
    EXPECT_NEAR(after.z - before.z, (b.z - a.z) * 1e-3, 1e-5);
  }
}

// The Jacobi integral of motion in the rotating frame under the central
// body and J2: constant along any true trajectory without luni-solar terms.
double jacobi_integral(const Ecef& p, const Ecef& v) {
  constexpr double gm = 398600.4418e9, ae = 6378136.0, j2 = 1082625.75e-9, w = 7.292115e-5;
  const double r = magnitude(p);
  const double speed2 = v.x * v.x + v.y * v.y + v.z * v.z;
  const double sin2_latitude = p.z * p.z / (r * r);
  return speed2 / 2 - w * w * (p.x * p.x + p.y * p.y) / 2 - gm / r +
         gm * j2 * ae * ae * (3 * sin2_latitude - 1) / (2 * r * r * r);
}

TEST(GlonassOrbit, KeepsTheJacobiIntegral) {
  StateVector state;
  state.position = {10900e3, -2880e3, 22880e3};
  state.velocity = {1400.0, 2800.0, -320.0};
  const GlonassOrbit orbit(state, 0.0);
  const auto velocity = [&](double t) {
    const Ecef a = orbit.position(t - 0.5), b = orbit.position(t + 0.5);
    return Ecef{b.x - a.x, b.y - a.y, b.z - a.z};
  };
  const double at_tb = jacobi_integral(orbit.position(0.0), velocity(0.0));
  for (const double t : {-900.0, -333.3, 450.0, 900.0, 1800.0}) {
    EXPECT_NEAR(jacobi_integral(orbit.position(t), velocity(t)), at_tb, 0.5) << t;
  }
}

TEST(SbasOrbit, PositionVelocityAndAcceleration) {
  StateVector state;
  state.position = {35900e3, 22100e3, 1000.0};
  state.velocity = {0.1, -0.2, 3.0};
  state.acceleration = {0.0, 0.0, 0.002};
  const SbasOrbit orbit(state, 100.0);
  const Ecef p = orbit.position(400.0);
  EXPECT_DOUBLE_EQ(p.x, 35900e3 + 30.0);
  EXPECT_DOUBLE_EQ(p.y, 22100e3 - 60.0);
  EXPECT_DOUBLE_EQ(p.z, 1000.0 + 900.0 + 0.5 * 0.002 * 300.0 * 300.0);
}

}  // namespace
}  // namespace skyloam
