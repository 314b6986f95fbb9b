#include "analysis/advanced/snr_series_analysis.hpp"

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/advanced/arcs.hpp"
#include "analysis/advanced/detrend.hpp"
#include "analysis/advanced/scalogram.hpp"
#include "analysis/advanced/time_binning.hpp"

namespace skyloam {
namespace {

constexpr double kScaleSpacing = 0.125;

struct Thinned {
  std::vector<double> t;
  std::vector<double> amplitude;
};

Thinned thin_to_amplitude(const TimeSeries& series, std::size_t max_points) {
  const std::size_t n = series.t.size();
  const std::size_t limit = std::max<std::size_t>(max_points, 1);
  const std::size_t step = std::max<std::size_t>((n + limit - 1) / limit, 1);
  Thinned kept;
  kept.t.reserve(n / step + 1);
  kept.amplitude.reserve(n / step + 1);
  for (std::size_t i = 0; i < n; i += step) {
    kept.t.push_back(series.t[i]);
    kept.amplitude.push_back(std::pow(10.0, series.values[i] / 20.0));
  }
  return kept;
}

// Band power of every long arc, concatenated in arc order, with its times.
struct ArcBandPower {
  std::vector<double> times;
  RowMatrix power;
};

ArcBandPower band_power_of_arcs(std::span<const double> t, std::span<const double> residual,
                                std::span<const ArcRange> arcs, double dt,
                                const SnrAnalysisSettings& settings) {
  std::vector<double> times;
  std::vector<std::vector<double>> per_band(settings.bands.size());
  const bool transformable = std::isfinite(dt) && dt > 0.0;
  for (const ArcRange& arc : arcs) {
    if (!transformable || arc.size() < kMinWaveletSamples) continue;
    const Result<RowMatrix> power =
        band_power(residual.subspan(arc.start, arc.size()), dt, settings.bands, kScaleSpacing);
    // With a positive dt and at most max_points samples the transform fits
    // its limits; an arc that did not would simply add nothing.
    if (!power) continue;
    times.insert(times.end(), t.begin() + static_cast<std::ptrdiff_t>(arc.start),
                 t.begin() + static_cast<std::ptrdiff_t>(arc.stop));
    for (std::size_t b = 0; b < per_band.size(); ++b) {
      per_band[b].insert(per_band[b].end(), power->row(b).begin(), power->row(b).end());
    }
  }
  RowMatrix power(per_band.size(), times.size());
  for (std::size_t b = 0; b < per_band.size(); ++b) {
    std::copy(per_band[b].begin(), per_band[b].end(), power.row(b).begin());
  }
  return {std::move(times), std::move(power)};
}

}  // namespace

std::optional<SnrSeriesResult> analyze_snr_series(const TimeSeries& series,
                                                  const SnrAnalysisSettings& settings) {
  if (series.t.size() < kMinWaveletSamples) return std::nullopt;
  const Thinned kept = thin_to_amplitude(series, settings.max_points);
  const double dt = median_step(kept.t).value_or(settings.interval);
  const std::vector<ArcRange> arcs = split_arcs(kept.t, dt, settings.gap_factor);

  SnrSeriesResult result;
  result.v.assign(kept.t.size(), 0.0);
  for (const ArcRange& arc : arcs) {
    DetrendResult fit = detrend(std::span(kept.t).subspan(arc.start, arc.size()),
                                std::span(kept.amplitude).subspan(arc.start, arc.size()),
                                settings.max_order);
    std::copy(fit.residual.begin(), fit.residual.end(),
              result.v.begin() + static_cast<std::ptrdiff_t>(arc.start));
    result.orders.push_back(fit.order);
  }

  result.t0 = kept.t.front();
  const ArcBandPower power = band_power_of_arcs(kept.t, result.v, arcs, dt, settings);
  TimeBins bins = bin_by_time(power.times, power.power, settings.max_bins, result.t0);
  result.bp_t = std::move(bins.t);
  result.bp_power = std::move(bins.means);

  result.t.resize(kept.t.size());
  for (std::size_t i = 0; i < kept.t.size(); ++i) result.t[i] = kept.t[i] - result.t0;
  return result;
}

}  // namespace skyloam
