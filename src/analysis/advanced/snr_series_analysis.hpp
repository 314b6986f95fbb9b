// δSNR residuals and band power of one satellite's SNR series.
//
// `analyze_snr_series(series, settings)` takes the positive SNR samples
// (dB-Hz) of one code in time order and, when there are at least 40:
//  1. thins them to at most max_points (every ceil(n / max_points)-th sample);
//  2. converts each value v to the linear amplitude 10^(v / 20);
//  3. takes dt = median step of the kept times (settings.interval when there
//     is none) and splits arcs at gaps > gap_factor * dt;
//  4. detrends every arc (detrend.hpp, max_order) into the residual δSNR and
//     records each arc's order;
//  5. for every arc of at least 40 samples computes the band power of its
//     residual (band_power.hpp, dj = 0.125) and appends it with the arc's
//     times;
//  6. bins the band power to at most max_bins time bins (time_binning.hpp).
// Times are returned relative to t0, the first kept time.
//
// A series whose median step is not a finite positive number (times that
// repeat or run backwards) admits no transform: it keeps its residuals and
// orders but gets no band power, like a series whose arcs are all short.
// Fewer than 40 samples give no result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/advanced/band_power.hpp"
#include "analysis/advanced/row_matrix.hpp"
#include "analysis/advanced/snr_observations.hpp"

namespace skyloam {

struct SnrAnalysisSettings {
  std::vector<PeriodBand> bands;
  double interval = 30.0;  // seconds; dt when the series has no median step
  std::size_t max_points = 20000;
  std::size_t max_bins = 96;
  double gap_factor = 5.0;
  std::uint32_t max_order = 9;
};

struct SnrSeriesResult {
  double t0 = 0.0;                    // unix seconds of the first kept sample
  std::vector<double> t;              // kept times minus t0
  std::vector<double> v;              // δSNR residual, linear amplitude
  std::vector<std::uint32_t> orders;  // detrending order per arc
  std::vector<double> bp_t;           // band-power bin times minus t0
  RowMatrix bp_power;                 // one row per band, aligned with bp_t
};

std::optional<SnrSeriesResult> analyze_snr_series(const TimeSeries& series,
                                                  const SnrAnalysisSettings& settings);

}  // namespace skyloam
