// Multipath estimation: raw series -> arcs -> bias-free estimates, grouped by
// signal label.
//
// Per pair (in selection order) the series is split into arcs, short arcs
// are dropped, each kept arc loses its bias, and every sample becomes an
// estimate at elevation 45° and azimuth 0° (no orbits yet); an elevation
// cutoff above 45° therefore drops every estimate. Estimates are stored
// grouped by label, labels in byte order, and within a label in pair order,
// then arc order, then time: the order results are published in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/analyzer_config.hpp"
#include "analysis/multipath/arcs.hpp"
#include "analysis/multipath/estimate_store.hpp"
#include "analysis/multipath/signal_selection.hpp"
#include "analysis/multipath/signal_series.hpp"
#include "analysis/multipath/slip_records.hpp"

namespace skyloam {

struct LabelRange {
  std::string label;
  std::size_t begin;  // into MultipathEstimation::estimates
  std::size_t end;
};

struct LabelSlipCount {
  std::string label;
  std::uint32_t count;  // arc breaks caused by cycle slips
};

struct MultipathEstimation {
  EstimateStore estimates;
  std::vector<LabelRange> labels;           // labels holding estimates, byte order
  std::vector<LabelSlipCount> slip_counts;  // labels with a slip-caused break, byte order
};

// `series` is consumed pair by pair (freed as it goes); `gap_threshold` is
// sampling_interval() x arc_gap_factor.
MultipathEstimation estimate_multipath(const SignalSelection& selection,
                                       std::vector<SignalSeries>&& series, const EpochTimes& times,
                                       const SlipIndex& slips, double gap_threshold,
                                       const AnalyzerConfig& config);

}  // namespace skyloam
