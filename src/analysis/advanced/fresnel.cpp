#include "analysis/advanced/fresnel.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>

namespace skyloam {
namespace {

// floor(value / cell) as a saturating integer; NaN gives 0.
std::int64_t cell_index(double value) {
  const double index = std::floor(value / kFresnelCellSize);
  if (std::isnan(index)) return 0;
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (index >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (index < -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(index);
}

}  // namespace

FresnelFootprint fresnel_footprint(double elevation_deg, double antenna_height,
                                   double wavelength) {
  // std::max would keep a NaN elevation; the comparison this way round drops it.
  const double degrees = elevation_deg > kMinFresnelElevation ? elevation_deg
                                                              : kMinFresnelElevation;
  const double e = degrees * kRadiansPerDegree;
  const double sin_e = std::sin(e);
  const double d = wavelength / (2.0 * sin_e);
  const double b = std::sqrt(d * d + antenna_height * wavelength / sin_e);
  return {b / sin_e, b, antenna_height / std::tan(e)};
}

std::vector<FresnelCell> fresnel_map(std::span<const FresnelTrack> tracks, double antenna_height,
                                     double min_elevation, double wavelength) {
  std::vector<FresnelCell> cells;
  for (std::size_t track = 0; track < tracks.size(); ++track) {
    const FresnelTrack& current = tracks[track];
    std::set<std::pair<std::int64_t, std::int64_t>> visited;
    const std::size_t samples = std::min(current.azimuths.size(), current.elevations.size());
    for (std::size_t j = 0; j < samples; ++j) {
      const double el = current.elevations[j];
      if (min_elevation > el) continue;
      const double az = current.azimuths[j];
      if (!visited.insert({cell_index(az), cell_index(el)}).second) continue;
      cells.push_back({track, az, el, fresnel_footprint(el, antenna_height, wavelength)});
    }
  }
  return cells;
}

}  // namespace skyloam
