#include "analysis/multipath/multipath_analysis.hpp"

#include <optional>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/epoch_scan.hpp"
#include "analysis/multipath/observation_catalog.hpp"
#include "analysis/multipath/signal_selection.hpp"
#include "analysis/multipath/signal_series.hpp"
#include "analysis/multipath/slip_detector.hpp"

namespace skyloam {
namespace {

struct ScanResult {
  SlipDetection slips;
  std::vector<SignalSeries> series;
};

ScanResult scan(std::span<const ObsEpoch* const> epochs, const ObservationCatalog& catalog,
                const SignalSelection& selection, const EpochTimes& times,
                const AnalyzerConfig& config) {
  SeriesCollector collector(catalog, selection);
  ScanResult result;
  if (config.detect_cycle_slips) {
    SlipDetector detector(catalog, epochs, times, config);
    scan_epochs(epochs, catalog, detector, collector);
    result.slips = std::move(detector).finish();
  } else {
    scan_epochs(epochs, catalog, collector);
  }
  result.series = std::move(collector).take();
  return result;
}

std::vector<MultipathStats> label_statistics(const MultipathEstimation& estimation,
                                             const AnalyzerConfig& config) {
  std::vector<MultipathStats> statistics;
  statistics.reserve(estimation.labels.size());
  std::size_t next_count = 0;  // slip_counts and labels are both in byte order
  const EstimateStore& store = estimation.estimates;
  for (const LabelRange& range : estimation.labels) {
    const std::size_t count = range.end - range.begin;
    const MpEstimate first = store.row(range.begin);
    const LabelEstimates estimates{first.satellite.system, first.signal,
                                   store.mp().values().subspan(range.begin, count),
                                   store.elevation().values().subspan(range.begin, count)};
    MultipathStats stats = summarize(range.label, estimates, config.use_weighted_rms);
    stats.first_estimate = range.begin;
    while (next_count < estimation.slip_counts.size() &&
           estimation.slip_counts[next_count].label < range.label) {
      ++next_count;
    }
    if (next_count < estimation.slip_counts.size() &&
        estimation.slip_counts[next_count].label == range.label) {
      stats.cycle_slips = estimation.slip_counts[next_count].count;
    }
    statistics.push_back(std::move(stats));
  }
  return statistics;
}

}  // namespace

AnalysisOutput analyze(const ObsData& data, const AnalyzerConfig& config) {
  const std::vector<const ObsEpoch*> epochs = thin_epochs(data, config.max_epochs);
  const EpochTimes times(epochs);
  const ObservationCatalog catalog(epochs, data);
  const SignalSelection selection = select_signals(catalog, config);
  ScanResult scanned = scan(epochs, catalog, selection, times, config);

  const double gap_threshold = sampling_interval(epochs, data.header()) * config.arc_gap_factor;
  MultipathEstimation estimation = estimate_multipath(selection, std::move(scanned.series), times,
                                                      scanned.slips.index, gap_threshold, config);

  AnalysisOutput out;
  out.statistics = label_statistics(estimation, config);
  out.estimates = std::move(estimation.estimates);
  out.cycle_slips = std::move(scanned.slips.records);
  out.slip_counts = std::move(estimation.slip_counts);
  return out;
}

}  // namespace skyloam
