#include "analysis/multipath/multipath_estimation.hpp"

#include <algorithm>
#include <numeric>

namespace skyloam {
namespace {

// Slip times of both phases of a pair, merged and sorted.
void pair_slip_times(const SlipIndex& slips, const SignalPair& pair,
                     std::vector<std::int64_t>& out) {
  out.clear();
  if (slips.empty()) return;
  const auto first = slips.times(pair.satellite, pair.phase1);
  const auto second = slips.times(pair.satellite, pair.phase2);
  out.resize(first.size() + second.size());
  std::merge(first.begin(), first.end(), second.begin(), second.end(), out.begin());
}

// Every estimate sits at the placeholder elevation until orbits arrive, so
// the cutoff keeps all of them or none.
bool cutoff_keeps_estimates(const AnalyzerConfig& config) {
  return !(config.elevation_cutoff > kPlaceholderElevation);
}

// Reused buffers of the per-pair work.
struct PairScratch {
  std::vector<std::int64_t> times_ms;
  std::vector<std::int64_t> slip_times;
  std::vector<double> mp_values;
  BiasRemover bias;
};

class PairEstimator {
 public:
  PairEstimator(const EpochTimes& times, const SlipIndex& slips, double gap_threshold,
                 const AnalyzerConfig& config, EstimateStoreBuilder& out)
      : times_(times),
        slips_(slips),
        config_(config),
        out_(out),
        breaks_{gap_threshold, config.mp_jump_threshold},
        keep_estimates_(cutoff_keeps_estimates(config)) {}

  // Appends the pair's estimates; returns its slip-caused arc breaks.
  std::uint32_t add_pair(const SignalPair& pair, const SignalSeries& series) {
    const std::size_t n = series.epochs.size();
    if (n == 0) return 0;
    scratch_.times_ms.resize(n);
    for (std::size_t i = 0; i < n; ++i) scratch_.times_ms[i] = times_.millis(series.epochs[i]);
    pair_slip_times(slips_, pair, scratch_.slip_times);
    const ArcSplit split =
        split_arcs(scratch_.times_ms, series.mp_raw, scratch_.slip_times, breaks_);
    if (keep_estimates_) {
      std::uint32_t kept = 0;
      for (const Arc& arc : split.arcs) kept += add_arc(pair, series, arc, kept) ? 1 : 0;
    }
    return split.slip_breaks;
  }

 private:
  // Appends the arc's estimates as arc `number` of the pair, unless the arc
  // is too short; returns whether it was kept.
  bool add_arc(const SignalPair& pair, const SignalSeries& series, const Arc& arc,
               std::uint32_t number) {
    const std::span<const std::int64_t> arc_times =
        std::span<const std::int64_t>(scratch_.times_ms).subspan(arc.begin, arc.end - arc.begin);
    if (!arc_accepted(arc_times, config_.min_arc_seconds)) return false;
    const std::span<const double> arc_raw =
        std::span<const double>(series.mp_raw).subspan(arc.begin, arc.end - arc.begin);
    scratch_.bias.remove(arc_times, arc_raw, config_.bias_window_seconds, scratch_.mp_values);
    const ArcRows rows = out_.append(pair.satellite, pair.code, static_cast<std::int32_t>(number),
                                     arc_times.size());
    std::ranges::copy(arc_times, rows.time_ms.begin());
    std::ranges::copy(scratch_.mp_values, rows.mp.begin());
    std::ranges::copy(std::span<const double>(series.snr).subspan(arc.begin, arc_times.size()),
                      rows.snr.begin());
    for (std::size_t k = 0; k < arc_times.size(); ++k) {
      rows.time[k] = times_.seconds(series.epochs[arc.begin + k]);
    }
    return true;
  }

  const EpochTimes& times_;
  const SlipIndex& slips_;
  const AnalyzerConfig& config_;
  EstimateStoreBuilder& out_;
  ArcBreaks breaks_;
  bool keep_estimates_;
  PairScratch scratch_;
};

}  // namespace

std::string signal_label(GnssSystem system, const ObsCode& pseudorange) {
  std::string label(system_short_name(system));
  label += 'M';
  label += static_cast<char>('0' + pseudorange.band);
  label += pseudorange.attribute;
  return label;
}

MultipathEstimation estimate_multipath(const SignalSelection& selection,
                                       std::vector<SignalSeries>&& series, const EpochTimes& times,
                                       const SlipIndex& slips, double gap_threshold,
                                       const AnalyzerConfig& config) {
  const std::size_t pair_count = std::min(selection.pairs.size(), series.size());
  std::vector<std::string> labels(pair_count);
  std::size_t samples = 0;
  for (std::size_t p = 0; p < pair_count; ++p) {
    labels[p] = signal_label(selection.pairs[p].satellite.system, selection.pairs[p].code);
    samples += series[p].epochs.size();
  }
  // Pairs grouped by label (byte order), selection order within a label.
  std::vector<std::size_t> order(pair_count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return labels[a] < labels[b]; });

  MultipathEstimation out;
  EstimateStoreBuilder estimates;
  if (cutoff_keeps_estimates(config)) estimates.reserve(samples);
  PairEstimator estimator(times, slips, gap_threshold, config, estimates);
  for (std::size_t k = 0; k < order.size();) {
    const std::string& label = labels[order[k]];
    const std::size_t begin = estimates.size();
    std::uint32_t slip_breaks = 0;
    for (; k < order.size() && labels[order[k]] == label; ++k) {
      const std::size_t p = order[k];
      slip_breaks += estimator.add_pair(selection.pairs[p], series[p]);
      series[p] = SignalSeries{};  // done with it: give the memory back
    }
    if (estimates.size() > begin) out.labels.push_back({label, begin, estimates.size()});
    if (slip_breaks > 0) out.slip_counts.push_back({label, slip_breaks});
  }
  out.estimates = std::move(estimates).finish();
  return out;
}

}  // namespace skyloam
