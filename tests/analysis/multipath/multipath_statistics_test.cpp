#include "analysis/multipath/multipath_statistics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::sat;

MpEstimate estimate(const char* satellite, const char* signal, double value,
                    double elevation = 45.0) {
  return {
      CalendarTime{19737, 0, 0}, value, elevation, 0.0, 0.0, sat(satellite), code(signal), false, 0};
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
  const std::vector<MpEstimate> e = {estimate("G01", "C1C", 1), estimate("G01", "C1C", -1),
                                     estimate("G02", "C1C", 1), estimate("G02", "C1C", -1)};
  const MultipathStats s = summarize("GPSM1C", e);
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
  std::vector<MpEstimate> e;
  for (int i = 0; i < 1000; ++i) e.push_back(estimate("E11", "C5Q", std::sin(i * 0.37) * 0.3));
  const MultipathStats s = summarize("GALM5Q", e);
  EXPECT_EQ(s.weighted_rms, s.rms);  // bit for bit
  EXPECT_NEAR(s.mean * s.mean + s.std_dev * s.std_dev, s.rms * s.rms, 1e-12);

  e[0].elevation = 10.0;
  EXPECT_NE(summarize("GALM5Q", e).weighted_rms, s.rms);
  EXPECT_EQ(summarize("GALM5Q", e, false).weighted_rms, s.rms);
  for (MpEstimate& x : e) x.elevation = -1.0;  // no weight at all: the plain rms
  EXPECT_EQ(summarize("GALM5Q", e).weighted_rms, s.rms);
}

TEST(RefreshWeightedRms, RecomputesPerLabelFromTheEstimates) {
  std::vector<MpEstimate> e = {estimate("G01", "C1C", 1.0), estimate("G02", "C1C", 2.0),
                               estimate("R01", "C1C", 3.0), estimate("E01", "C1C", 4.0)};
  std::vector<MultipathStats> stats = {summarize("GPSM1C", {e.data(), 2}),
                                       summarize("GLOM1C", {e.data() + 2, 1}),
                                       summarize("GALM5Q", {e.data() + 3, 1})};
  stats[2].code = code("C5Q");  // a label without estimates keeps its value
  stats[2].weighted_rms = 9.0;
  e[0].elevation = 15.0;
  e[2].elevation = -2.0;  // no weight: the label keeps its old value
  refresh_weighted_rms(e, stats);
  const double w = 1.0 / (4.0 * std::pow(std::sin(15.0 * M_PI / 180.0), 2));
  EXPECT_NEAR(stats[0].weighted_rms, std::sqrt((w * 1.0 + 4.0) / (w + 1.0)), 1e-12);
  EXPECT_EQ(stats[1].weighted_rms, 3.0);
  EXPECT_EQ(stats[2].weighted_rms, 9.0);
  EXPECT_EQ(stats[0].rms, std::sqrt(2.5));  // nothing else changes

  refresh_weighted_rms({}, stats);
  EXPECT_EQ(stats[2].weighted_rms, 9.0);
}

}  // namespace
}  // namespace skyloam
