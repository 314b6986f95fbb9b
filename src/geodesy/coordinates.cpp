#include "geodesy/coordinates.hpp"

#include <cmath>

namespace skyloam {

Ecef to_ecef(const Geodetic& g) {
  const double phi = g.lat * kRadiansPerDegree;
  const double lambda = g.lon * kRadiansPerDegree;
  const double sin_phi = std::sin(phi);
  const double n =
      wgs84::kSemiMajorAxis / std::sqrt(-wgs84::kEccentricitySquared * sin_phi * sin_phi + 1.0);
  const double cos_phi = std::cos(phi);
  return {(n + g.height) * cos_phi * std::cos(lambda), (n + g.height) * cos_phi * std::sin(lambda),
          (n * wgs84::kOneMinusEccentricitySquared + g.height) * sin_phi};
}

Geodetic to_geodetic(const Ecef& p) {
  const double lambda = std::atan2(p.y, p.x);
  const double rho = std::sqrt(p.x * p.x + p.y * p.y);
  const double theta = std::atan2(p.z * wgs84::kSemiMajorAxis, wgs84::kSemiMinorAxis * rho);
  const double sin_theta = std::sin(theta);
  const double cos_theta = std::cos(theta);
  const double phi =
      std::atan2(p.z + wgs84::kSecondEccentricitySquaredTimesB * sin_theta * sin_theta * sin_theta,
                 rho - wgs84::kEccentricitySquaredTimesA * cos_theta * cos_theta * cos_theta);
  const double sin_phi = std::sin(phi);
  const double n =
      wgs84::kSemiMajorAxis / std::sqrt(1.0 - wgs84::kEccentricitySquared * sin_phi * sin_phi);
  return {phi * kDegreesPerRadian, lambda * kDegreesPerRadian, rho / std::cos(phi) - n};
}

double magnitude(const Ecef& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); }

double distance(const Ecef& a, const Ecef& b) {
  return magnitude({a.x - b.x, a.y - b.y, a.z - b.z});
}

AzEl azimuth_elevation(const Ecef& receiver, const Ecef& satellite) {
  const Geodetic site = to_geodetic(receiver);
  const double phi = site.lat * kRadiansPerDegree;
  const double lambda = site.lon * kRadiansPerDegree;
  const double dx = satellite.x - receiver.x;
  const double dy = satellite.y - receiver.y;
  const double dz = satellite.z - receiver.z;
  const double sin_phi = std::sin(phi), cos_phi = std::cos(phi);
  const double sin_lambda = std::sin(lambda), cos_lambda = std::cos(lambda);
  const double east = -sin_lambda * dx + cos_lambda * dy;
  const double north = -sin_phi * cos_lambda * dx - sin_phi * sin_lambda * dy + cos_phi * dz;
  const double up = cos_phi * cos_lambda * dx + cos_phi * sin_lambda * dy + sin_phi * dz;
  double azimuth = std::atan2(east, north) * kDegreesPerRadian;
  if (azimuth < 0.0) azimuth += 360.0;
  const double horizontal = std::sqrt(east * east + north * north);
  const double r2 = up * up + horizontal * horizontal;
  if (!(r2 > 0.0)) return {azimuth, 0.0};
  return {azimuth, std::asin(up / std::sqrt(r2)) * kDegreesPerRadian};
}

}  // namespace skyloam
