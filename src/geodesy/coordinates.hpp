// WGS84 positions: earth-centred earth-fixed (Ecef, metres) and geodetic
// (Geodetic: degrees, degrees, metres), the conversions between them and the
// azimuth/elevation of a satellite seen from a receiver. No validation: NaN
// and infinities propagate.
#pragma once

#include <utility>

namespace skyloam {

namespace wgs84 {
inline constexpr double kSemiMajorAxis = 6378137.0;
inline constexpr double kSemiMinorAxis = 6356752.314245179;
inline constexpr double kEccentricitySquared = 0.0066943799901413165;
inline constexpr double kOneMinusEccentricitySquared = 0.9933056200098587;
inline constexpr double kEccentricitySquaredTimesA = 42697.67270717997;
inline constexpr double kSecondEccentricitySquaredTimesB = 42841.31151331357;
}  // namespace wgs84

inline constexpr double kDegreesPerRadian = 57.29577951308232;
inline constexpr double kRadiansPerDegree = 0.017453292519943295;
inline constexpr double kSpeedOfLight = 299792458.0;
inline constexpr double kGmWgs84 = 398600500000000.0;
inline constexpr double kEarthRadius = wgs84::kSemiMajorAxis;
inline constexpr double kGpsL1Wavelength = 0.19029367279836487;

struct Ecef {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

struct Geodetic {
  double lat = 0.0;
  double lon = 0.0;
  double height = 0.0;
};

Ecef to_ecef(const Geodetic& g);
// Bowring's closed form, one step.
Geodetic to_geodetic(const Ecef& p);

double magnitude(const Ecef& p);
double distance(const Ecef& a, const Ecef& b);

struct AzEl {
  double azimuth;    // degrees, [0, 360)
  double elevation;  // degrees, [-90, 90]
};

AzEl azimuth_elevation(const Ecef& receiver, const Ecef& satellite);

}  // namespace skyloam
