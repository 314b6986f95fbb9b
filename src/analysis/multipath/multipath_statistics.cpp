#include "analysis/multipath/multipath_statistics.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/multipath/multipath_estimate.hpp"
#include "geodesy/coordinates.hpp"

namespace skyloam {
namespace {

struct WeightedSums {
  double weighted_squares = 0.0;
  double weights = 0.0;

  void add(double mp, double elevation) {
    const double w = elevation_weight(elevation);
    weighted_squares += w * (mp * mp);
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

MultipathStats summarize(std::string label, const LabelEstimates& estimates, bool weighted) {
  MultipathStats stats{};
  stats.label = std::move(label);
  const std::span<const double> mp = estimates.mp;
  if (mp.empty()) return stats;
  stats.system = estimates.system;
  stats.code = estimates.code;
  stats.count = mp.size();
  const double n = static_cast<double>(mp.size());
  double sum = 0.0;
  double squares = 0.0;
  stats.min = mp.front();
  stats.max = mp.front();
  WeightedSums weighted_sums;
  for (std::size_t i = 0; i < mp.size(); ++i) {
    const double x = mp[i];
    sum += x;
    squares += x * x;
    stats.min = std::min(stats.min, x);
    stats.max = std::max(stats.max, x);
    weighted_sums.add(x, estimates.elevation[i]);
  }
  stats.mean = sum / n;
  double deviations = 0.0;
  for (const double x : mp) {
    const double d = x - stats.mean;
    deviations += d * d;
  }
  stats.std_dev = std::sqrt(deviations / n);
  stats.rms = std::sqrt(squares / n);
  stats.weighted_rms = weighted && weighted_sums.weights > 0.0
                           ? std::sqrt(weighted_sums.weighted_squares / weighted_sums.weights)
                           : stats.rms;
  return stats;
}

void refresh_weighted_rms(const EstimateStore& estimates, std::span<MultipathStats> statistics) {
  std::vector<std::pair<std::uint64_t, std::size_t>> by_key;
  by_key.reserve(statistics.size());
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    by_key.emplace_back(label_key(statistics[i].system, statistics[i].code), i);
  }
  std::sort(by_key.begin(), by_key.end());
  std::vector<WeightedSums> sums(statistics.size());
  // Estimates come grouped by satellite signal: look up each run once.
  const std::span<const std::int32_t> satellite = estimates.satellite().values();
  const std::span<const std::int32_t> signal = estimates.signal().values();
  const std::span<const double> mp = estimates.mp().values();
  const std::span<const double> elevation = estimates.elevation().values();
  WeightedSums* run = nullptr;
  for (std::size_t i = 0; i < mp.size(); ++i) {
    if (i == 0 || satellite[i] != satellite[i - 1] || signal[i] != signal[i - 1]) {
      const std::uint64_t key =
          label_key(estimates.satellites()[static_cast<std::size_t>(satellite[i])].system,
                    estimates.signals()[static_cast<std::size_t>(signal[i])]);
      const auto it =
          std::lower_bound(by_key.begin(), by_key.end(), std::pair{key, std::size_t{0}});
      run = (it != by_key.end() && it->first == key) ? &sums[it->second] : nullptr;
    }
    if (run) run->add(mp[i], elevation[i]);
  }
  for (std::size_t i = 0; i < statistics.size(); ++i) {
    if (sums[i].weights > 0.0) {
      statistics[i].weighted_rms = std::sqrt(sums[i].weighted_squares / sums[i].weights);
    }
  }
}

CutoffStatistics statistics_at_or_above(const EstimateStore& estimates,
                                        std::span<const MultipathStats> statistics,
                                        double cutoff) {
  CutoffStatistics result;
  const std::span<const double> mp = estimates.mp().values();
  const std::span<const double> elevation = estimates.elevation().values();
  const std::span<const double> azimuth = estimates.azimuth().values();
  std::vector<double> kept_mp;
  std::vector<double> kept_elevation;
  for (const MultipathStats& label : statistics) {
    kept_mp.clear();
    kept_elevation.clear();
    const std::size_t end = std::min(label.first_estimate + label.count, mp.size());
    for (std::size_t i = label.first_estimate; i < end; ++i) {
      if (elevation[i] == kPlaceholderElevation && azimuth[i] == kPlaceholderAzimuth) {
        ++result.without_elevation;
      } else if (!(elevation[i] >= cutoff)) {
        ++result.below_cutoff;
      } else {
        kept_mp.push_back(mp[i]);
        kept_elevation.push_back(elevation[i]);
      }
    }
    if (kept_mp.empty()) continue;
    MultipathStats kept =
        summarize(label.label, {label.system, label.code, kept_mp, kept_elevation});
    kept.cycle_slips = label.cycle_slips;
    kept.first_estimate = label.first_estimate;
    result.statistics.push_back(std::move(kept));
  }
  return result;
}

}  // namespace skyloam
