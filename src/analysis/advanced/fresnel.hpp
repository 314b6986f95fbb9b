// First Fresnel zone of a ground reflection below an antenna.
//
// `fresnel_footprint(elevation, h, wavelength)` for a horizontal reflector h
// metres below the antenna and a satellite at `elevation` degrees: with
// e = max(elevation, 0.5 deg) (NaN reads as 0.5), d = wavelength / (2 sin e),
// b = sqrt(d^2 + h wavelength / sin e), a = b / sin e along the azimuth, and
// the ellipse centre lies h / tan e from the antenna foot.
//
// `fresnel_map(tracks, h, min_elevation, wavelength)`: along each track, the
// first sample of every 10 x 10 degree (azimuth, elevation) cell, cells
// floor(az / 10), floor(el / 10) as saturating 64-bit integers (NaN gives
// 0; azimuths are not normalised, so -5 and 355 differ). Samples with
// el < min_elevation are skipped (a NaN elevation is not); samples past the
// shorter of the two angle lists are ignored; the visited cells are per
// track. Footprints are listed in emission order. Nothing fails.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "geodesy/coordinates.hpp"

namespace skyloam {

inline constexpr double kMinFresnelElevation = 0.5;  // degrees
inline constexpr double kFresnelCellSize = 10.0;     // degrees

struct FresnelFootprint {
  double a = 0.0;     // semi-major axis, m, along the azimuth
  double b = 0.0;     // semi-minor axis, m
  double dist = 0.0;  // horizontal distance antenna foot -> ellipse centre, m
};

FresnelFootprint fresnel_footprint(double elevation_deg, double antenna_height,
                                   double wavelength = kGpsL1Wavelength);

struct FresnelTrack {
  std::string satellite;
  std::vector<double> azimuths;    // degrees
  std::vector<double> elevations;  // degrees
};

struct FresnelCell {
  std::size_t track;  // index into the tracks given
  double az;          // as given
  double el;          // as given
  FresnelFootprint footprint;
};

std::vector<FresnelCell> fresnel_map(std::span<const FresnelTrack> tracks, double antenna_height,
                                     double min_elevation = 5.0,
                                     double wavelength = kGpsL1Wavelength);

}  // namespace skyloam
