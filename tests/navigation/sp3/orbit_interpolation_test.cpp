#include "navigation/sp3/orbit_interpolation.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "navigation/sp3/synthetic_orbit.hpp"

namespace skyloam {
namespace {

using namespace skyloam::testing;

const Satellite kG07{GnssSystem::GPS, 7};
// Just before a year boundary, so intervals cross day, month and year.
const Epoch kBase{2019, 12, 31, 22, 0, 0.0};

// Degree-8 polynomials in hours with orbit-like size: about 2e7 m and
// 3 km/s.
long double polynomial(const std::array<long double, 9>& c, long double seconds) {
  const long double h = seconds / 3600.0L;
  long double value = 0.0L;
  for (std::size_t i = c.size(); i-- > 0;) value = value * h + c[i];
  return value;
}
constexpr std::array<long double, 9> kPx = {1.5e7L, 1.1e7L, -2.0e6L, 3.0e5L, -4.0e4L,
                                            2.0e3L, -90.0L,  3.0L,    -0.07L};
constexpr std::array<long double, 9> kPy = {-2.1e7L, 4.0e6L, 1.3e6L, -2.0e5L, 1.0e4L,
                                            -800.0L, 40.0L,  -1.5L,  0.04L};
constexpr std::array<long double, 9> kPz = {5.0e6L, -9.0e6L, 7.0e5L, 5.0e4L, -6.0e3L,
                                            300.0L, -20.0L,  0.5L,   -0.01L};
constexpr std::array<long double, 9> kPclock = {120.0L, 0.5L, -0.02L, 0.001L, 0, 0, 0, 0, 0};

SampledValues polynomial_values(double seconds) {
  return {static_cast<double>(polynomial(kPx, seconds)), static_cast<double>(polynomial(kPy, seconds)),
          static_cast<double>(polynomial(kPz, seconds)),
          static_cast<double>(polynomial(kPclock, seconds))};
}

Sp3Data polynomial_orbit(std::size_t count) {
  return single_satellite(kG07, sample_records(kBase, regular_offsets(count, 900.0), polynomial_values));
}

void expect_on_polynomial(const Sp3Data& data, double seconds, double tolerance) {
  const Epoch target = epoch_after(kBase, seconds);
  const auto state = interpolate(data, kG07, target);
  ASSERT_TRUE(state.has_value()) << seconds;
  const long double s = seconds;
  EXPECT_NEAR(state->x, static_cast<double>(polynomial(kPx, s)), tolerance) << seconds;
  EXPECT_NEAR(state->y, static_cast<double>(polynomial(kPy, s)), tolerance) << seconds;
  EXPECT_NEAR(state->z, static_cast<double>(polynomial(kPz, s)), tolerance) << seconds;
  EXPECT_NEAR(state->clock, static_cast<double>(polynomial(kPclock, s)) * 1e-6, 1e-15) << seconds;
  const auto quotient = [&](const std::array<long double, 9>& c) {
    return static_cast<double>((polynomial(c, s + 1) - polynomial(c, s - 1)) / 2);
  };
  EXPECT_NEAR(state->vx, quotient(kPx), tolerance) << seconds;
  EXPECT_NEAR(state->vy, quotient(kPy), tolerance) << seconds;
  EXPECT_NEAR(state->vz, quotient(kPz), tolerance) << seconds;
  EXPECT_EQ(state->satellite, kG07);
  EXPECT_EQ(state->epoch.second, target.second);
}

TEST(Interpolation, NeedsNineRecords) {
  EXPECT_FALSE(interpolate(polynomial_orbit(8), kG07, epoch_after(kBase, 900)).has_value());
  const Sp3Data nine = polynomial_orbit(9);
  const SatelliteOrbit& orbit = *nine.orbit(kG07);
  for (const Sp3Record& record : orbit.records()) {
    const auto state = interpolate(nine, kG07, record.epoch);
    ASSERT_TRUE(state.has_value());
    EXPECT_NEAR(state->x, record.x, 1e-6);
    EXPECT_NEAR(state->y, record.y, 1e-6);
    EXPECT_NEAR(state->z, record.z, 1e-6);
    EXPECT_NEAR(state->clock, record.clock * 1e-6, 1e-18);
  }
  EXPECT_FALSE(interpolate(nine, Satellite{GnssSystem::GPS, 8}, kBase).has_value());
}

TEST(Interpolation, ExactForPolynomialsOnAnExactTimeAxis) {
  // Fractional seconds across midnight of New Year: a time axis built from
  // Julian dates would be off by tens of microseconds here, centimetres at
  // orbital speed.
  const Sp3Data data = polynomial_orbit(14);
  for (const double seconds : {0.0, 450.0, 7199.999999, 7200.0, 7200.123456789, 7312.5,
                               8099.987654321, 11700.0, 900.0 * 13}) {
    expect_on_polynomial(data, seconds, 1e-5);
  }
}

TEST(Interpolation, ExtrapolatesFarBeyondTheRecords) {
  const Sp3Data data = polynomial_orbit(12);
  expect_on_polynomial(data, 900.0 * 11 + 3600.0, 1e-3);
  expect_on_polynomial(data, -3600.0, 1e-3);
  EXPECT_TRUE(interpolate(data, kG07, epoch_after(kBase, 40 * 86400.0)).has_value());
}

TEST(Interpolation, RepeatedEpochsKeepTheFirstAndStayFinite) {
  std::vector<Sp3Record> records = sample_records(kBase, regular_offsets(10, 900.0), polynomial_values);
  Sp3Record repeat = records[4];
  repeat.x += 5000.0;
  records.insert(records.begin() + 5, repeat);
  Sp3Record near_repeat = records[7];
  near_repeat.epoch.second += 1e-10;
  near_repeat.y -= 5000.0;
  records.insert(records.begin() + 8, near_repeat);
  const Sp3Data data = single_satellite(kG07, std::move(records));
  EXPECT_EQ(data.orbit(kG07)->records().size(), 10u);
  expect_on_polynomial(data, 900.0 * 4, 1e-5);
  expect_on_polynomial(data, 900.0 * 6 + 17.25, 1e-5);
}

TEST(Interpolation, NonFiniteSecondsAreLeftOut) {
  std::vector<Sp3Record> records = sample_records(kBase, regular_offsets(10, 900.0), polynomial_values);
  records[3].epoch.second = std::numeric_limits<double>::quiet_NaN();
  records[6].epoch.second = std::numeric_limits<double>::infinity();
  const Sp3Data data = single_satellite(kG07, records);
  EXPECT_EQ(data.orbit(kG07)->records().size(), 8u);
  EXPECT_FALSE(interpolate(data, kG07, kBase).has_value());  // eight left

  std::vector<Sp3Record> all_bad = records;
  for (Sp3Record& r : all_bad) r.epoch.second = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(single_satellite(kG07, all_bad).num_satellites(), 0u);

  Epoch nan_target = kBase;
  nan_target.second = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(interpolate(polynomial_orbit(12), kG07, nan_target).has_value());
}

// The ranking rule written out plainly: every record by distance from the
// target (stable, so ties go to the earlier record of the file), the first
// nine in time order, Neville with plain division.
double reference_x(const SatelliteOrbit& orbit, const Epoch& target, double at) {
  const auto records = orbit.records();
  std::vector<std::size_t> order(records.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto t = [&](std::size_t i) { return seconds_between(records[i].epoch, target); };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return std::fabs(t(a)) < std::fabs(t(b)); });
  order.resize(9);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return t(a) < t(b); });
  std::array<double, 9> p, d, tt;
  for (std::size_t i = 0; i < 9; ++i) {
    p[i] = records[order[i]].x;
    tt[i] = t(order[i]);
    d[i] = tt[i] - at;
  }
  for (std::size_t k = 1; k < 9; ++k) {
    for (std::size_t i = 0; i + k < 9; ++i) p[i] = (p[i] * d[i + k] - p[i + 1] * d[i]) / (tt[i + k] - tt[i]);
  }
  return p[0];
}

void expect_reference_choice(const Sp3Data& data) {
  const SatelliteOrbit& orbit = *data.orbit(kG07);
  // Every 50 s: on a 900 s grid that hits every record and every midpoint
  // between records nine apart, where the ninth choice is a tie.
  for (double seconds = -2000.0; seconds < 900.0 * 16 + 2000.0; seconds += 50.0) {
    const Epoch target = epoch_after(kBase, seconds);
    const auto state = interpolate(data, kG07, target);
    ASSERT_TRUE(state.has_value());
    const double expected = reference_x(orbit, target, 0.0);
    ASSERT_NEAR(state->x, expected, 1e-6 * std::fabs(expected) + 1e-6) << seconds;
    const double speed = (reference_x(orbit, target, 1.0) - reference_x(orbit, target, -1.0)) / 2;
    ASSERT_NEAR(state->vx, speed, 1e-6 * std::fabs(speed) + 1e-6) << seconds;
  }
}

// Values that no low-degree polynomial fits, so a different choice of nine
// records shows at once.
SampledValues jagged(double seconds) {
  const double k = seconds / 900.0;
  return {1e6 * std::sin(k * k * 1.7) + 3e5 * k, 0, 0, 0};
}

TEST(Interpolation, NearestNineFollowTheRankingRule) {
  expect_reference_choice(single_satellite(kG07, sample_records(kBase, regular_offsets(15, 900.0), jagged)));
  // Irregular spacing: a gap, a close pair, an hour step.
  const std::vector<double> offsets = {0,    900,  1800, 2700, 5400,  6300,  6330,  7200,
                                       8100, 9000, 9900, 10800, 11700, 14400, 15300};
  expect_reference_choice(single_satellite(kG07, sample_records(kBase, offsets, jagged)));
}

TEST(Interpolation, RecordsOutOfTimeOrderRankInFileOrder) {
  std::vector<double> offsets = regular_offsets(15, 900.0);
  std::reverse(offsets.begin(), offsets.end());
  std::swap(offsets[3], offsets[9]);
  const Sp3Data data = single_satellite(kG07, sample_records(kBase, offsets, jagged));
  ASSERT_FALSE(data.orbit(kG07)->time_ordered());
  expect_reference_choice(data);
}

TEST(Interpolation, TextEntryPoints) {
  const Sp3Data data = polynomial_orbit(10);
  const Epoch target = epoch_after(kBase, 1234.5);
  const auto position = get_position(data, " g07 ", target);
  ASSERT_TRUE(position.has_value());
  EXPECT_EQ(position->x, interpolate(data, kG07, target)->x);
  EXPECT_FALSE(get_position(data, "X99", target).has_value());
  EXPECT_FALSE(get_position(data, "G", target).has_value());
  EXPECT_FALSE(get_position(data, "G08", target).has_value());
  EXPECT_FALSE(compute_elevation(data, {6378137.0, 0, 0}, "R07", target).has_value());
}

TEST(Interpolation, ElevationOverheadAndBelow) {
  const Ecef receiver = to_ecef({46.877, 7.465, 956.0});
  const Ecef overhead = to_ecef({46.877, 7.465, 2.02e7});
  const Ecef antipode = to_ecef({-46.877, -172.535, 2.02e7});
  const auto fixed = [](const Ecef& p) {
    return [p](double) { return SampledValues{p.x, p.y, p.z, 0.0}; };
  };
  const Sp3Data above = single_satellite(kG07, sample_records(kBase, regular_offsets(9, 900.0), fixed(overhead)));
  const Sp3Data below = single_satellite(kG07, sample_records(kBase, regular_offsets(9, 900.0), fixed(antipode)));
  EXPECT_NEAR(*compute_elevation(above, receiver, "G07", epoch_after(kBase, 500)), 90.0, 1e-6);
  // Straight below along the geocentric line: nearly, not exactly, the nadir.
  EXPECT_LT(*compute_elevation(below, receiver, "G07", epoch_after(kBase, 500)), -89.0);
}

}  // namespace
}  // namespace skyloam
