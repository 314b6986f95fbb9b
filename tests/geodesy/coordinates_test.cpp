#include "geodesy/coordinates.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace skyloam {
namespace {

TEST(Coordinates, GeodeticToEcefOnTheAxes) {
  const Ecef equator = to_ecef({0, 0, 0});
  EXPECT_EQ(equator.x, 6378137.0);
  EXPECT_EQ(equator.y, 0.0);
  EXPECT_NEAR(to_ecef({90, 0, 0}).z, 6356752.314245179, 1e-6);
}

TEST(Coordinates, RoundTripIsBelowAMillimetre) {
  const Geodetic g{52.0, 4.5, 45.3};
  const Geodetic back = to_geodetic(to_ecef(g));
  EXPECT_NEAR(back.lat, g.lat, 1e-9);
  EXPECT_NEAR(back.lon, g.lon, 1e-9);
  EXPECT_NEAR(back.height, g.height, 1e-3);
  const Geodetic origin = to_geodetic({6378137.0, 0, 0});
  EXPECT_NEAR(origin.lat, 0.0, 1e-12);
  EXPECT_NEAR(origin.height, 0.0, 1e-6);
}

TEST(Coordinates, PolarAxisDegenerates) {
  const Geodetic pole = to_geodetic({0, 0, 6356752.0});
  EXPECT_EQ(pole.lat, 90.0);
  EXPECT_NEAR(pole.height, -6399593.6, 0.1);
}

TEST(Coordinates, MagnitudeAndDistance) {
  EXPECT_EQ(magnitude({3, 4, 0}), 5.0);
  EXPECT_EQ(distance({0, 0, 0}, {3, 4, 0}), 5.0);
}

TEST(AzimuthElevation, LocalDirections) {
  const Geodetic site{52.0, 4.5, 0.0};
  const Ecef receiver = to_ecef(site);
  const double phi = site.lat * kRadiansPerDegree, lambda = site.lon * kRadiansPerDegree;
  const Ecef up{std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
  const Ecef north{-std::sin(phi) * std::cos(lambda), -std::sin(phi) * std::sin(lambda),
                   std::cos(phi)};
  const Ecef east{-std::sin(lambda), std::cos(lambda), 0.0};
  const auto offset = [&](const Ecef& d, double k) {
    return Ecef{receiver.x + k * d.x, receiver.y + k * d.y, receiver.z + k * d.z};
  };
  EXPECT_NEAR(azimuth_elevation(receiver, offset(up, 2e7)).elevation, 90.0, 1e-6);
  const AzEl n = azimuth_elevation(receiver, offset(north, 1e6));
  EXPECT_NEAR(n.azimuth, 0.0, 1e-6);
  EXPECT_NEAR(n.elevation, 0.0, 1e-6);
  EXPECT_NEAR(azimuth_elevation(receiver, offset(east, 1e6)).azimuth, 90.0, 1e-6);
  EXPECT_LT(azimuth_elevation(receiver, offset(up, -1e6)).elevation, 0.0);
  const AzEl same = azimuth_elevation(receiver, receiver);
  EXPECT_EQ(same.azimuth, 0.0);
  EXPECT_EQ(same.elevation, 0.0);
}

}  // namespace
}  // namespace skyloam
