// The nine records an orbit interpolation runs through.
//
// They are the nine records of one satellite nearest in time to the target
// epoch: ordered by distance |seconds_between(record, target)|, ties going to
// the record earlier in the file, the first nine kept, then put in time
// order. Times are measured from the target itself, so the arithmetic is
// exact for the fields as written (no Julian-date rounding).
//
// Records run forward in time in every real file; then the nine are found by
// binary search and a merge outward from the target, with the same choice.
// Other orbits fall back to ranking every record.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "navigation/sp3/sp3_data.hpp"

namespace skyloam {

inline constexpr std::size_t kInterpolationPoints = 9;

struct InterpolationNodes {
  std::array<const Sp3Record*, kInterpolationPoints> records;
  // seconds_between(record epoch, target), ascending.
  std::array<double, kInterpolationPoints> times;
};

// Nothing when the orbit has fewer than nine records or the target's seconds
// are not finite.
std::optional<InterpolationNodes> nearest_nodes(const SatelliteOrbit& orbit, const Epoch& target);

}  // namespace skyloam
