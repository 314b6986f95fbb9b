#include "analysis/multipath/multipath_statistics.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geodesy/coordinates.hpp"

namespace skyloam {
namespace {

struct WeightedSums {
  double weighted_squares = 0.0;
  double weights = 0.0;

  void add(const MpEstimate& e) {
    const double w = elevation_weight(e.elevation);
    weighted_squares += w * (e.mp_value * e.mp_value);
    weights += w;
  }
};

// Labels are unique per (system, band, attribute): one short name per system.
std::uint64_t label_key(GnssSystem system, const ObsCode& code) {
  return (static_cast<std::uint64_t>(system) << 32) | pack(code);
}

}  // namespace

double elevation_weight(double elevation_degrees) {
  if (elevation_degrees >= 30.0) return 1.0;
  if (!(elevation_degrees > 0.0)) return 0.0;
  const double s = std::sin(elevation_degrees * kRadiansPerDegree);
  return 1.0 / (4.0 * (s * s));
}

MultipathStats summarize(std::string label, std::span<const MpEstimate> estimates, bool weighted) {
  MultipathStats stats{};
  stats.label = std::move(label);
  if (estimates.empty()) return stats;
  stats.system = estimates.front().satellite.system;
  stats.code = estimates.front().signal;
  stats.count = estimates.size();
  const double n = static_cast<double>(estimates.size());
  double sum = 0.0;
  double squares = 0.0;
  stats.min = estimates.front().mp_value;
  stats.max = estimates.front().mp_value;
  WeightedSums weighted_sums;
  for (const MpEstimate& e : estimates) {
    sum += e.mp_value;
    squares += e.mp_value * e.mp_value;
    stats.min = std::min(stats.min, e.mp_value);
    stats.max = std::max(stats.max, e.mp_value);
    weighted_sums.add(e);
  }
  stats.mean = sum / n;
  double deviations = 0.0;
  for (const MpEstimate& e : estimates) {
    const double d = e.mp_value - stats.mean;
    deviations += d * d;
  }
  stats.std_dev = std::sqrt(deviations / n);
  stats.rms = std::sqrt(squares / n);
  stats.weighted_rms = weighted && weighted_sums.weights > 0.0
                           ? std::sqrt(weighted_sums.weighted_squares / weighted_sums.weights)
                           : stats.rms;
  return stats;
}

void refresh_weighted_rms(std::span<const MpEstimate> estimates,
                          std::span<MultipathStats> statistics) {
  std::vector<std::pair<std::uint64_t, std::size_t>> by_key;
  by_key.reserve(statistics.size());
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    by_key.emplace_back(label_key(statistics[i].system, statistics[i].code), i);
  }
  std::sort(by_key.begin(), by_key.end());
  std::vector<WeightedSums> sums(statistics.size());
  // Estimates usually come grouped by label: remember the last match.
  std::uint64_t last_key = ~std::uint64_t{0};
  WeightedSums* last = nullptr;
  for (const MpEstimate& e : estimates) {
    const std::uint64_t key = label_key(e.satellite.system, e.signal);
    if (key != last_key) {
      last_key = key;
      const auto it =
          std::lower_bound(by_key.begin(), by_key.end(), std::pair{key, std::size_t{0}});
      last = (it != by_key.end() && it->first == key) ? &sums[it->second] : nullptr;
    }
    if (last) last->add(e);
  }
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    if (sums[i].weights > 0.0) {
      statistics[i].weighted_rms = std::sqrt(sums[i].weighted_squares / sums[i].weights);
    }
  }
}

}  // namespace skyloam
