#include "analysis/multipath/multipath_statistics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <tuple>
#include <vector>

#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::sat;

LabelEstimates gps_c1c(const std::vector<double>& mp, const std::vector<double>& elevation) {
  return {GnssSystem::GPS, code("C1C"), mp, elevation};
}

// One estimate per (satellite, signal, value), at the placeholder elevation.
EstimateStore store_of(
    std::initializer_list<std::tuple<const char*, const char*, double>> estimates) {
  EstimateStoreBuilder builder;
  for (const auto& [satellite, signal, value] : estimates) {
    const ArcRows rows = builder.append(sat(satellite), code(signal), 0, 1);
    rows.mp[0] = value;
    rows.time[0] = rows.snr[0] = 0.0;
    rows.time_ms[0] = 0;
  }
  return std::move(builder).finish();
}

TEST(ElevationWeight, OneAboveThirtyZeroAtTheHorizonSineLawBetween) {
  EXPECT_EQ(elevation_weight(30.0), 1.0);
  EXPECT_EQ(elevation_weight(90.0), 1.0);
  EXPECT_EQ(elevation_weight(0.0), 0.0);
  EXPECT_EQ(elevation_weight(-2.0), 0.0);
  EXPECT_EQ(elevation_weight(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_NEAR(elevation_weight(15.0), 3.7320508, 1e-6);
  EXPECT_NEAR(elevation_weight(29.999), 1.0, 1e-4);
}

TEST(Summarize, PopulationFormsOfOneMinusOneOneMinusOne) {
  const MultipathStats s = summarize("GPSM1C", gps_c1c({1, -1, 1, -1}, {45, 45, 45, 45}));
  EXPECT_EQ(s.label, "GPSM1C");
  EXPECT_EQ(s.count, 4u);
  EXPECT_EQ(s.mean, 0.0);
  EXPECT_EQ(s.std_dev, 1.0);
  EXPECT_EQ(s.rms, 1.0);
  EXPECT_EQ(s.min, -1.0);
  EXPECT_EQ(s.max, 1.0);
  EXPECT_EQ(s.weighted_rms, 1.0);
  EXPECT_EQ(s.system, GnssSystem::GPS);
  EXPECT_EQ(s.code, code("C1C"));
}

TEST(Summarize, WeightedRmsEqualsRmsAtThePlaceholderElevation) {
  std::vector<double> mp;
  for (int i = 0; i < 1000; ++i) mp.push_back(std::sin(i * 0.37) * 0.3);
  std::vector<double> elevation(mp.size(), 45.0);
  const MultipathStats s = summarize("GPSM1C", gps_c1c(mp, elevation));
  EXPECT_EQ(s.weighted_rms, s.rms);  // bit for bit
  EXPECT_NEAR(s.mean * s.mean + s.std_dev * s.std_dev, s.rms * s.rms, 1e-12);

  elevation[0] = 10.0;
  EXPECT_NE(summarize("GPSM1C", gps_c1c(mp, elevation)).weighted_rms, s.rms);
  EXPECT_EQ(summarize("GPSM1C", gps_c1c(mp, elevation), false).weighted_rms, s.rms);
  std::ranges::fill(elevation, -1.0);  // no weight at all: the plain rms
  EXPECT_EQ(summarize("GPSM1C", gps_c1c(mp, elevation)).weighted_rms, s.rms);
}

TEST(RefreshWeightedRms, RecomputesPerLabelFromTheEstimates) {
  EstimateStore e = store_of(
      {{"G01", "C1C", 1.0}, {"G02", "C1C", 2.0}, {"R01", "C1C", 3.0}, {"E01", "C1C", 4.0}});
  const std::vector<double> at_45(2, 45.0);
  std::vector<MultipathStats> stats = {
      summarize("GPSM1C", gps_c1c({1.0, 2.0}, at_45)),
      summarize("GLOM1C", {GnssSystem::GLONASS, code("C1C"), std::vector{3.0}, at_45}),
      summarize("GALM5Q", {GnssSystem::Galileo, code("C5Q"), std::vector{4.0}, at_45})};
  stats[2].weighted_rms = 9.0;  // a label without estimates keeps its value
  const EstimateStore::Angles angles = e.writable_angles();
  angles.elevation[0] = 15.0;
  angles.elevation[2] = -2.0;  // no weight: the label keeps its old value
  refresh_weighted_rms(e, stats);
  const double w = 1.0 / (4.0 * std::pow(std::sin(15.0 * M_PI / 180.0), 2));
  EXPECT_NEAR(stats[0].weighted_rms, std::sqrt((w * 1.0 + 4.0) / (w + 1.0)), 1e-12);
  EXPECT_EQ(stats[1].weighted_rms, 3.0);
  EXPECT_EQ(stats[2].weighted_rms, 9.0);
  EXPECT_EQ(stats[0].rms, std::sqrt(2.5));  // nothing else changes

  refresh_weighted_rms(EstimateStore{}, stats);
  EXPECT_EQ(stats[2].weighted_rms, 9.0);
}

TEST(StatisticsAtOrAbove, KeepsRealElevationsAtOrAboveTheCutoff) {
  // G01, G02: GPSM1C; R01: GLOM1C, all of it below the cutoff.
  EstimateStore e = store_of({{"G01", "C1C", 9.0},
                              {"G01", "C1C", 1.0},
                              {"G01", "C1C", 3.0},
                              {"G01", "C1C", 9.0},
                              {"G02", "C1C", -1.0},
                              {"R01", "C1C", 4.0}});
  const std::vector<double> at_45(5, 45.0);
  std::vector<MultipathStats> stats = {
      summarize("GPSM1C", gps_c1c({9.0, 1.0, 3.0, 9.0, -1.0}, at_45)),
      summarize("GLOM1C", {GnssSystem::GLONASS, code("C1C"), std::vector{4.0}, at_45})};
  stats[0].cycle_slips = 2;
  stats[1].first_estimate = 5;
  const EstimateStore::Angles angles = e.writable_angles();
  const double elevations[] = {5.0, 10.0, 60.0, 45.0, 15.0, 2.0};
  for (std::size_t i = 0; i < 6; ++i) {
    angles.elevation[i] = elevations[i];
    angles.azimuth[i] = 10.0;
  }
  angles.azimuth[3] = 0.0;  // still at the placeholder angles: no orbit reached it

  const CutoffStatistics cut = statistics_at_or_above(e, stats, 10.0);
  EXPECT_EQ(cut.below_cutoff, 2u);
  EXPECT_EQ(cut.without_elevation, 1u);
  ASSERT_EQ(cut.statistics.size(), 1u);  // GLOM1C has nothing left
  const MultipathStats& gps = cut.statistics[0];
  EXPECT_EQ(gps.label, "GPSM1C");
  EXPECT_EQ(gps.count, 3u);
  EXPECT_EQ(gps.cycle_slips, 2u);
  EXPECT_EQ(gps.mean, 1.0);
  EXPECT_EQ(gps.min, -1.0);
  EXPECT_EQ(gps.max, 3.0);
  EXPECT_DOUBLE_EQ(gps.rms, std::sqrt(11.0 / 3.0));
  const double w10 = elevation_weight(10.0);
  const double w15 = elevation_weight(15.0);
  EXPECT_DOUBLE_EQ(gps.weighted_rms, std::sqrt((w10 + 9.0 + w15) / (w10 + 1.0 + w15)));

  EXPECT_TRUE(statistics_at_or_above(e, stats, 90.0).statistics.empty());
  EXPECT_EQ(statistics_at_or_above(e, stats, -90.0).statistics[1].count, 1u);
}

}  // namespace
}  // namespace skyloam
