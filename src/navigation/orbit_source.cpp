#include "navigation/orbit_source.hpp"

#include <algorithm>

namespace skyloam {

std::optional<std::size_t> OrbitSource::slot_of(const Satellite& satellite) const {
  const auto list = satellites();
  const auto it = std::lower_bound(list.begin(), list.end(), satellite);
  if (it == list.end() || *it != satellite) return std::nullopt;
  return static_cast<std::size_t>(it - list.begin());
}

std::optional<Ecef> OrbitSource::position(const Satellite& satellite, const Epoch& epoch) const {
  const auto slot = slot_of(satellite);
  if (!slot) return std::nullopt;
  return position(*slot, epoch);
}

std::optional<Ecef> get_position(const OrbitSource& orbits, std::string_view satellite,
                                 const Epoch& epoch) {
  const std::optional<Satellite> parsed = parse_satellite(satellite);
  if (!parsed) return std::nullopt;
  return orbits.position(*parsed, epoch);
}

std::optional<double> compute_elevation(const OrbitSource& orbits, const Ecef& receiver,
                                        std::string_view satellite, const Epoch& epoch) {
  const std::optional<Ecef> position = get_position(orbits, satellite, epoch);
  if (!position) return std::nullopt;
  return azimuth_elevation(receiver, *position).elevation;
}

}  // namespace skyloam
