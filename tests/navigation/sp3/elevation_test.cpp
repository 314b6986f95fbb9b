// Elevations from real orbits and real receiver positions.
#include "navigation/elevation_batch.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "navigation/sp3/orbit_interpolation.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "navigation/sp3/synthetic_orbit.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

// ZIMM (Zimmerwald) of 2015-08-23, and ESBC of 2020-06-25: APPROX POSITION XYZ.
const Ecef kZimm{4331296.9226, 567556.0704, 4633134.0631};
const Ecef kEsbc{3582105.2910, 532589.7313, 5232754.8054};

// Azimuth and elevation worked out another way: geodetic latitude by
// iteration, the local unit vectors, and the angle of the line of sight.
AzEl independent_azel(const Ecef& receiver, const Ecef& satellite) {
  const double a = 6378137.0, f = 1.0 / 298.257223563, e2 = f * (2.0 - f);
  const double p = std::hypot(receiver.x, receiver.y);
  const double lon = std::atan2(receiver.y, receiver.x);
  double lat = std::atan2(receiver.z, p * (1.0 - e2));
  for (int i = 0; i < 10; ++i) {
    const double n = a / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));
    const double h = p / std::cos(lat) - n;
    lat = std::atan2(receiver.z, p * (1.0 - e2 * n / (n + h)));
  }
  const double up[3] = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
  const double east[3] = {-std::sin(lon), std::cos(lon), 0.0};
  const double north[3] = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon),
                           std::cos(lat)};
  const double d[3] = {satellite.x - receiver.x, satellite.y - receiver.y, satellite.z - receiver.z};
  const auto dot = [&](const double* u) { return u[0] * d[0] + u[1] * d[1] + u[2] * d[2]; };
  const double range = std::sqrt(dot(d));
  const double degrees = 180.0 / std::acos(-1.0);
  double azimuth = std::atan2(dot(east), dot(north)) * degrees;
  if (azimuth < 0.0) azimuth += 360.0;
  return {azimuth, std::asin(dot(up) / range) * degrees};
}

Sp3Data read_shared(const char* file) {
  Result<Sp3Data> data = read_sp3(testing::testdata_path(std::string("sp3/") + file));
  EXPECT_TRUE(data.has_value()) << file;
  return data ? std::move(*data) : Sp3Data();
}

TEST(RealElevations, AgreeWithAnIndependentComputation) {
  SKYLOAM_REQUIRE_TESTDATA();
  const Sp3Data igs = read_shared("igs18590.sp3");
  ASSERT_EQ(igs.num_satellites(), 31u);
  // Every 10 min and a half second, up to 23:59:30 (the last quarter hour is
  // extrapolated from the final records).
  for (int s = 0; s <= 86370; s += 600) {
    const Epoch epoch = testing::epoch_after({2015, 8, 23, 0, 0, 0.0}, s + (s == 86370 ? 0 : 0.5));
    int visible = 0;
    for (const Satellite& satellite : igs.satellites()) {
      const auto position = get_position(igs, to_string(satellite), epoch);
      ASSERT_TRUE(position.has_value());
      const double radius = magnitude(*position);
      EXPECT_NEAR(radius, 26.56e6, 0.8e6) << to_string(satellite);
      const AzEl expected = independent_azel(kZimm, *position);
      const double elevation = *compute_elevation(igs, kZimm, to_string(satellite), epoch);
      EXPECT_NEAR(elevation, expected.elevation, 1e-7);
      EXPECT_NEAR(azimuth_elevation(kZimm, *position).azimuth, expected.azimuth, 1e-7);
      visible += elevation > 10.0;
    }
    EXPECT_GE(visible, 4) << s;
    EXPECT_LE(visible, 14) << s;
  }
}

TEST(RealElevations, TwoAnalysisCentresAgree) {
  SKYLOAM_REQUIRE_TESTDATA();
  // Same day, different centres and products: independent orbits of the same
  // satellites, so the interpolated positions must agree to about a decimetre.
  const Sp3Data grg = read_shared("GRG0MGXFIN_20201770000_01D_15M_ORB.SP3");
  const Sp3Data iac = read_shared("Sta21114.sp3");
  int compared = 0;
  for (const Satellite& satellite : grg.satellites()) {
    if (iac.orbit(satellite) == nullptr) continue;
    for (int s = 1234; s < 86400; s += 3600) {
      const Epoch epoch = testing::epoch_after({2020, 6, 25, 0, 0, 0.0}, s + 0.25);
      const auto a = interpolate(grg, satellite, epoch);
      const auto b = interpolate(iac, satellite, epoch);
      ASSERT_TRUE(a && b) << to_string(satellite);
      EXPECT_LT(distance({a->x, a->y, a->z}, {b->x, b->y, b->z}), 1.0) << to_string(satellite) << " " << s;
      EXPECT_LT(std::fabs(a->vx - b->vx), 1e-3) << to_string(satellite);
      const double elevation_a = azimuth_elevation(kEsbc, {a->x, a->y, a->z}).elevation;
      const double elevation_b = azimuth_elevation(kEsbc, {b->x, b->y, b->z}).elevation;
      EXPECT_NEAR(elevation_a, elevation_b, 1e-5);
      ++compared;
    }
  }
  EXPECT_GT(compared, 60 * 24);
}

TEST(RealElevations, HeldOutRecordsAreMetWithinCentimetres) {
  SKYLOAM_REQUIRE_TESTDATA();
  // Each inner record of a 15-minute GPS orbit, interpolated from the others
  // (so across a 30-minute gap).
  const Sp3Data igs = read_shared("igs18590.sp3");
  double sum_squares = 0.0, worst = 0.0;
  int count = 0;
  for (const SatelliteOrbit& orbit : igs.orbits()) {
    const auto records = orbit.records();
    for (std::size_t k = 4; k + 4 < records.size(); k += 3) {
      std::vector<SatelliteRecords> others{{orbit.satellite(), {records.begin(), records.end()}}};
      others[0].records.erase(others[0].records.begin() + static_cast<std::ptrdiff_t>(k));
      const auto state = interpolate(Sp3Data(0, 0.0, std::move(others)), orbit.satellite(),
                                     records[k].epoch);
      ASSERT_TRUE(state.has_value());
      const double error = distance({state->x, state->y, state->z},
                                    {records[k].x, records[k].y, records[k].z});
      sum_squares += error * error;
      worst = std::max(worst, error);
      ++count;
    }
  }
  EXPECT_LT(std::sqrt(sum_squares / count), 0.04);
  EXPECT_LT(worst, 0.10);
}

TEST(ElevationBatch, AnswersEachQueryAsAloneAndReusesRepeats) {
  SKYLOAM_REQUIRE_TESTDATA();
  const Sp3Data igs = read_shared("igs19016.sp3");
  const Ecef kerg{1406337.1601, 3918161.1297, -4816167.3659};
  std::vector<SatelliteEpoch> queries;
  const std::vector<Satellite> satellites = {{GnssSystem::GPS, 1}, {GnssSystem::GPS, 4},
                                             {GnssSystem::GLONASS, 1}, {GnssSystem::GPS, 32}};
  // Three "signals", each satellite by satellite in time order, as the
  // estimates come; the epochs repeat in every pass.
  for (int signal = 0; signal < 3; ++signal) {
    for (const Satellite& satellite : satellites) {
      for (int s = 0; s <= 150; s += 30) {
        queries.push_back({satellite, testing::epoch_after({2016, 6, 18, 0, 0, 0.0}, s)});
      }
    }
  }
  Epoch nan_epoch{2016, 6, 18, 0, 0, std::numeric_limits<double>::quiet_NaN()};
  queries.push_back({satellites[0], nan_epoch});
  queries.push_back({satellites[0], nan_epoch});
  Epoch negative_zero{2016, 6, 18, 0, 0, -0.0};
  queries.push_back({satellites[0], negative_zero});

  const auto answers = azimuth_elevations(igs, kerg, queries);
  ASSERT_EQ(answers.size(), queries.size());
  std::size_t answered = 0;
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const auto alone = interpolate(igs, queries[i].satellite, queries[i].epoch);
    ASSERT_EQ(answers[i].has_value(), alone.has_value()) << i;
    if (!alone) continue;
    const AzEl expected = azimuth_elevation(kerg, {alone->x, alone->y, alone->z});
    EXPECT_EQ(answers[i]->azimuth, expected.azimuth) << i;
    EXPECT_EQ(answers[i]->elevation, expected.elevation) << i;
    ++answered;
  }
  // G01 and G32 at six epochs in three passes, plus the -0.0 query; G04 (bad
  // clocks), R01 (no orbit) and the NaN epochs give nothing.
  EXPECT_EQ(answered, 2u * 6 * 3 + 1);
  EXPECT_TRUE(azimuth_elevations(igs, kerg, {}).empty());
}

TEST(ElevationBatch, ManyDistinctPairsGrowTheTables) {
  SKYLOAM_REQUIRE_TESTDATA();
  const Sp3Data igs = read_shared("igs18590.sp3");
  std::vector<SatelliteEpoch> queries;
  for (int pass = 0; pass < 2; ++pass) {
    for (const Satellite& satellite : igs.satellites()) {
      for (int s = 0; s < 3000; ++s) {
        queries.push_back({satellite, testing::epoch_after({2015, 8, 23, 0, 0, 0.0}, s * 7.3)});
      }
    }
  }
  const auto answers = azimuth_elevations(igs, kZimm, queries);
  const std::size_t half = queries.size() / 2;
  for (std::size_t i = 0; i < half; i += 97) {
    ASSERT_TRUE(answers[i].has_value());
    EXPECT_EQ(answers[i]->elevation, answers[i + half]->elevation);
    EXPECT_EQ(answers[i]->elevation,
              *compute_elevation(igs, kZimm, to_string(queries[i].satellite), queries[i].epoch));
  }
}

}  // namespace
}  // namespace skyloam
