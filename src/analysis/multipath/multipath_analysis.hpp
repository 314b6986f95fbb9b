// analyze(): the whole multipath analysis of one observation data set.
//
// On the thinned epochs: one scan that detects cycle slips (when enabled)
// and gathers the raw multipath series of the selected signals, then arcs,
// bias removal and per-label statistics. It never fails on content: empty or
// degenerate input and odd settings give empty or partial results.
//
// Orders are part of the contract (results are diffed between runs):
//  - estimates: labels in byte order; within a label pairs in satellite
//    order, then pseudorange code order, then time;
//  - statistics: one per label holding estimates, same order;
//  - cycle_slips: epoch time, then satellite text, then detection order
//    (loss of lock, geometry-free, code-minus-phase, each in code order);
//  - slip_counts: labels in byte order.
//
// `ObsData` is only read; several analyses may share one data set.
#pragma once

#include <vector>

#include "analysis/multipath/analyzer_config.hpp"
#include "analysis/multipath/estimate_store.hpp"
#include "analysis/multipath/multipath_estimation.hpp"
#include "analysis/multipath/multipath_statistics.hpp"
#include "analysis/multipath/slip_records.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

struct AnalysisOutput {
  EstimateStore estimates;
  std::vector<MultipathStats> statistics;
  std::vector<SlipRecord> cycle_slips;
  std::vector<LabelSlipCount> slip_counts;
};

AnalysisOutput analyze(const ObsData& data, const AnalyzerConfig& config);

}  // namespace skyloam
