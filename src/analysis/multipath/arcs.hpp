// Arcs: continuous stretches of one signal's multipath series, and the
// removal of each arc's constant bias.
//
// A new arc starts before sample i when
//  - the step from sample i-1 exceeds the gap threshold (seconds),
//  - time runs backwards (the bias window needs ordered times),
//  - the raw value jumps by more than the jump threshold (metres), or
//  - a slip of one of the pair's phases was recorded in (t[i-1], t[i]]
//    (at t[i] itself when the two samples share a time): a slip on an
//    epoch where this signal has no sample still ends the arc.
// Only the last reason counts as a slip-caused break.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

struct Arc {
  std::uint32_t begin;
  std::uint32_t end;  // one past the last sample
};

// Typical epoch step in seconds: the upper median of the steps above 1e-6 s
// among the first 101 epochs (at least 0.001 s); without such steps the
// header's declared interval (at least 0.001 s), else 30 s.
double sampling_interval(std::span<const ObsEpoch* const> epochs, const RinexObsHeader& header);

struct ArcBreaks {
  double gap_threshold;   // seconds
  double jump_threshold;  // metres
};

struct ArcSplit {
  std::vector<Arc> arcs;
  std::uint32_t slip_breaks = 0;
};

// `slip_times` ascending (may hold repeats).
ArcSplit split_arcs(std::span<const std::int64_t> times_ms, std::span<const double> mp_raw,
                    std::span<const std::int64_t> slip_times, const ArcBreaks& breaks);

// At least 10 samples spanning at least `min_arc_seconds`.
bool arc_accepted(std::span<const std::int64_t> arc_times_ms, double min_arc_seconds);

// Removes the bias of one arc: with a window that is positive and shorter
// than the arc, each sample loses the mean of the samples within half the
// window either side (ends inclusive, millisecond resolution); otherwise the
// whole-arc mean. Linear in the arc length. `out` gets one value per sample.
class BiasRemover {
 public:
  void remove(std::span<const std::int64_t> arc_times_ms, std::span<const double> arc_mp_raw,
              std::optional<double> window_seconds, std::vector<double>& out);

 private:
  std::vector<double> prefix_;
};

}  // namespace skyloam
