// Per-label summaries of multipath estimates.
//
// Over the values x1..xn of a label (n >= 1): count, mean, population
// standard deviation, rms, min, max, and the elevation-weighted rms
// sqrt(Σ w·x² / Σ w) with the weight w(e) of `elevation_weight` (the plain
// rms when Σ w is 0). While every estimate sits at the placeholder elevation
// the weighted rms equals the rms exactly.
//
// `refresh_weighted_rms` recomputes the weighted rms of existing statistics
// after estimates received real elevations; nothing else changes.
// `statistics_at_or_above` summarizes each label again over the estimates
// whose orbits gave them a real elevation at or above a cutoff.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/multipath/estimate_store.hpp"

namespace skyloam {

// 1 at 30° and above; 0 at 0° and below or for NaN; 1 / (4·sin²e) between.
double elevation_weight(double elevation_degrees);

struct MultipathStats {
  std::string label;  // "GPSM1C"
  GnssSystem system;  // of the label's first estimate
  ObsCode code;       // signal of the label's first estimate
  std::size_t count;
  double mean;
  double std_dev;
  double rms;
  double min;
  double max;
  double weighted_rms;
  std::uint32_t cycle_slips;   // slip-caused arc breaks of the label
  std::size_t first_estimate;  // the label's estimates are [first, first + count)
};

// One label's estimates: values and elevations of a non-empty run, and the
// system and code of its first estimate.
struct LabelEstimates {
  GnssSystem system;
  ObsCode code;
  std::span<const double> mp;
  std::span<const double> elevation;
};

// `weighted` false leaves weighted_rms equal to rms. cycle_slips and
// first_estimate are left 0.
MultipathStats summarize(std::string label, const LabelEstimates& estimates, bool weighted = true);

// Sets each statistic's weighted_rms from the estimates whose label (system
// of the satellite and pseudorange code) matches and whose weights sum to
// more than 0; statistics without such estimates keep their value.
void refresh_weighted_rms(const EstimateStore& estimates, std::span<MultipathStats> statistics);

struct CutoffStatistics {
  std::vector<MultipathStats> statistics;  // labels left without estimates are dropped
  std::uint64_t below_cutoff = 0;          // estimates below the cutoff (or NaN)
  std::uint64_t without_elevation = 0;     // estimates still at the placeholder angles
};

// `statistics` are the analysis's own (each label's estimates are
// [first_estimate, first_estimate + count)); cycle_slips and first_estimate
// carry over.
CutoffStatistics statistics_at_or_above(const EstimateStore& estimates,
                                        std::span<const MultipathStats> statistics,
                                        double cutoff);

}  // namespace skyloam
