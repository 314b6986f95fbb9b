#include "analysis/advanced/fresnel.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace skyloam {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(FresnelFootprint, ZenithAndLowElevations) {
  const FresnelFootprint zenith = fresnel_footprint(90.0, 2.0);
  const double d = kGpsL1Wavelength / 2.0;
  EXPECT_DOUBLE_EQ(zenith.b, std::sqrt(d * d + 2.0 * kGpsL1Wavelength));
  EXPECT_NEAR(zenith.b, 0.6242, 1e-4);
  EXPECT_DOUBLE_EQ(zenith.a, zenith.b);
  EXPECT_NEAR(zenith.dist, 0.0, 1e-15);
  EXPECT_GT(zenith.dist, 0.0);  // tan(90 deg) is finite in floating point

  const FresnelFootprint floor = fresnel_footprint(0.5, 2.0);
  for (const double low : {0.0, -10.0, kNaN}) {
    const FresnelFootprint f = fresnel_footprint(low, 2.0);
    EXPECT_EQ(f.a, floor.a);
    EXPECT_EQ(f.b, floor.b);
    EXPECT_EQ(f.dist, floor.dist);
  }
}

TEST(FresnelFootprint, WavelengthChangesTheEllipseNotItsDistance) {
  const FresnelFootprint l1 = fresnel_footprint(10.0, 2.0);
  const FresnelFootprint l2 = fresnel_footprint(10.0, 2.0, 0.2548);
  EXPECT_GT(l2.a, l1.a);
  EXPECT_GT(l2.b, l1.b);
  EXPECT_EQ(l2.dist, l1.dist);
  EXPECT_DOUBLE_EQ(l1.dist, 2.0 / std::tan(10.0 * kRadiansPerDegree));
  // No height: b = d, a = d / sin e, at the antenna foot.
  const FresnelFootprint flat = fresnel_footprint(30.0, 0.0);
  EXPECT_DOUBLE_EQ(flat.b, kGpsL1Wavelength);
  EXPECT_DOUBLE_EQ(flat.a, 2.0 * kGpsL1Wavelength);
  EXPECT_EQ(flat.dist, 0.0);
}

TEST(FresnelMap, OneFootprintPerCellAndTrack) {
  FresnelTrack rising{"G05", {}, {}};
  for (int el = 5; el <= 25; ++el) {
    rising.azimuths.push_back(123.0);
    rising.elevations.push_back(el);
  }
  const FresnelTrack again{"E11", {123.0, 124.0}, {7.0, 8.0, 9.0}};  // extra elevation ignored
  const std::vector<FresnelCell> cells = fresnel_map(std::vector{rising, again}, 2.0);
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].el, 5.0);
  EXPECT_EQ(cells[1].el, 10.0);
  EXPECT_EQ(cells[2].el, 20.0);
  EXPECT_EQ(cells[3].track, 1u);  // same cell, other track
  EXPECT_EQ(cells[3].el, 7.0);
  EXPECT_EQ(cells[1].footprint.a, fresnel_footprint(10.0, 2.0).a);
}

TEST(FresnelMap, ElevationCutoffNaNsAndUnnormalisedAzimuths) {
  const FresnelTrack track{"R01",
                           {-5.0, 355.0, 10.0, kNaN, 1e300, 1e300, 20.0},
                           {20.0, 20.0, 4.9, kNaN, 30.0, 31.0, 1.0}};
  const std::vector<FresnelCell> cells = fresnel_map(std::vector{track}, 1.5, 5.0, 0.25);
  // -5 and 355 are different cells; 4.9 and 1.0 are below the cutoff; a NaN
  // elevation is kept (cell 0, 0); the huge azimuths share a saturated cell.
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].az, -5.0);
  EXPECT_EQ(cells[1].az, 355.0);
  EXPECT_TRUE(std::isnan(cells[2].el));
  EXPECT_EQ(cells[2].footprint.a, fresnel_footprint(0.5, 1.5, 0.25).a);
  EXPECT_EQ(cells[3].el, 30.0);
  EXPECT_TRUE(fresnel_map({}, 2.0).empty());
}

}  // namespace
}  // namespace skyloam
