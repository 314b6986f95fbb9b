#include "analysis/multipath/arcs.hpp"

#include <algorithm>
#include <cmath>

namespace skyloam {
namespace {

constexpr std::size_t kIntervalEpochs = 101;
constexpr double kMinStep = 1e-6;          // seconds; smaller steps are repeats
constexpr double kMinInterval = 0.001;     // seconds
constexpr double kDefaultInterval = 30.0;  // seconds
constexpr std::size_t kMinArcSamples = 10;

bool slip_between(std::span<const std::int64_t> slips, std::int64_t before, std::int64_t at) {
  if (slips.empty()) return false;
  if (at <= before) return std::binary_search(slips.begin(), slips.end(), at);
  const auto next = std::upper_bound(slips.begin(), slips.end(), before);
  return next != slips.end() && *next <= at;
}

}  // namespace

double sampling_interval(std::span<const ObsEpoch* const> epochs, const RinexObsHeader& header) {
  std::vector<double> steps;
  const std::size_t n = std::min(epochs.size(), kIntervalEpochs);
  for (std::size_t i = 1; i < n; ++i) {
    const double step = std::abs(seconds_between(epochs[i]->time, epochs[i - 1]->time));
    if (step > kMinStep) steps.push_back(step);
  }
  if (!steps.empty()) {
    std::sort(steps.begin(), steps.end());
    return std::max(steps[steps.size() / 2], kMinInterval);
  }
  if (header.declared_interval) {
    const double declared = *header.declared_interval;
    return declared > kMinInterval ? declared : kMinInterval;  // NaN too
  }
  return kDefaultInterval;
}

ArcSplit split_arcs(std::span<const std::int64_t> times_ms, std::span<const double> mp_raw,
                    std::span<const std::int64_t> slip_times, const ArcBreaks& breaks) {
  ArcSplit split;
  const auto n = static_cast<std::uint32_t>(times_ms.size());
  if (n == 0) return split;
  std::uint32_t start = 0;
  for (std::uint32_t i = 1; i < n; ++i) {
    const double dt = static_cast<double>(times_ms[i] - times_ms[i - 1]) / 1000.0;
    const bool slip = slip_between(slip_times, times_ms[i - 1], times_ms[i]);
    const bool jump = std::abs(mp_raw[i] - mp_raw[i - 1]) > breaks.jump_threshold;
    if (!(dt > breaks.gap_threshold || dt < 0.0 || jump || slip)) continue;
    split.arcs.push_back({start, i});
    start = i;
    if (slip) ++split.slip_breaks;
  }
  split.arcs.push_back({start, n});
  return split;
}

bool arc_accepted(std::span<const std::int64_t> arc_times_ms, double min_arc_seconds) {
  if (arc_times_ms.size() < kMinArcSamples) return false;
  const double duration = static_cast<double>(arc_times_ms.back() - arc_times_ms.front()) / 1000.0;
  return !(duration < min_arc_seconds);
}

void BiasRemover::remove(std::span<const std::int64_t> t, std::span<const double> raw,
                         std::optional<double> window_seconds, std::vector<double>& out) {
  const std::size_t n = raw.size();
  out.resize(n);
  if (n == 0) return;
  // Sums of deviations from the first value keep their precision where the
  // raw values carry a large constant (phase counts may start anywhere).
  const double reference = raw[0];
  prefix_.resize(n + 1);
  prefix_[0] = 0.0;
  for (std::size_t k = 0; k < n; ++k) prefix_[k + 1] = prefix_[k] + (raw[k] - reference);

  const double duration = static_cast<double>(t[n - 1] - t[0]) / 1000.0;
  if (!window_seconds || !(*window_seconds > 0.0) || !(*window_seconds < duration)) {
    const double mean = prefix_[n] / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = (raw[i] - reference) - mean;
    return;
  }
  const auto half = static_cast<std::int64_t>(std::trunc(*window_seconds * 500.0));
  std::size_t lo = 0;
  std::size_t hi = 0;
  for (std::size_t i = 0; i < n; ++i) {
    while (lo < i && t[lo] < t[i] - half) ++lo;
    hi = std::max(hi, i + 1);
    while (hi < n && t[hi] <= t[i] + half) ++hi;
    const double mean = (prefix_[hi] - prefix_[lo]) / static_cast<double>(hi - lo);
    out[i] = (raw[i] - reference) - mean;
  }
}

}  // namespace skyloam
