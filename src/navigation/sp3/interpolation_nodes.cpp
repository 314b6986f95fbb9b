#include "navigation/sp3/interpolation_nodes.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace skyloam {
namespace {

constexpr std::size_t kPoints = kInterpolationPoints;

InterpolationNodes nodes_of_ordered(const SatelliteOrbit& orbit, const SplitTime& target) {
  const std::span<const SplitTime> times = orbit.times();
  const std::size_t n = times.size();
  const auto from_target = [&](std::size_t i) { return seconds_between(times[i], target); };
  // The first record not before the target.
  const std::size_t split = static_cast<std::size_t>(
      std::partition_point(times.begin(), times.end(),
                           [&](const SplitTime& t) { return seconds_between(t, target) < 0.0; }) -
      times.begin());
  // Window [low, high) grows by the nearer neighbour; a tie takes the earlier
  // record, which is the earlier one in the file.
  std::size_t low = split, high = split;
  while (high - low < kPoints) {
    if (low == 0) {
      ++high;
    } else if (high == n || std::fabs(from_target(low - 1)) <= std::fabs(from_target(high))) {
      --low;
    } else {
      ++high;
    }
  }
  InterpolationNodes nodes;
  for (std::size_t i = 0; i < kPoints; ++i) {
    nodes.records[i] = &orbit.records()[low + i];
    nodes.times[i] = from_target(low + i);
  }
  return nodes;
}

InterpolationNodes nodes_of_unordered(const SatelliteOrbit& orbit, const SplitTime& target) {
  const std::span<const SplitTime> split_times = orbit.times();
  std::vector<double> times(split_times.size());
  for (std::size_t i = 0; i < times.size(); ++i) times[i] = seconds_between(split_times[i], target);
  std::vector<std::size_t> rank(times.size());
  std::iota(rank.begin(), rank.end(), std::size_t{0});
  std::partial_sort(rank.begin(), rank.begin() + kPoints, rank.end(), [&](std::size_t a, std::size_t b) {
    const double da = std::fabs(times[a]), db = std::fabs(times[b]);
    return da < db || (da == db && a < b);
  });
  // Repeated epochs were dropped when the orbit was stored, so no two of
  // these share a time.
  std::sort(rank.begin(), rank.begin() + kPoints,
            [&](std::size_t a, std::size_t b) { return times[a] < times[b]; });
  InterpolationNodes nodes;
  for (std::size_t i = 0; i < kPoints; ++i) {
    nodes.records[i] = &orbit.records()[rank[i]];
    nodes.times[i] = times[rank[i]];
  }
  return nodes;
}

}  // namespace

std::optional<InterpolationNodes> nearest_nodes(const SatelliteOrbit& orbit, const Epoch& target) {
  if (orbit.records().size() < kPoints || !std::isfinite(target.second)) return std::nullopt;
  const SplitTime split = split_time(target);
  return orbit.time_ordered() ? nodes_of_ordered(orbit, split) : nodes_of_unordered(orbit, split);
}

}  // namespace skyloam
