#include "analysis/advanced/band_power.hpp"

#include <cstddef>

#include "analysis/advanced/morlet_spectrum.hpp"
#include "analysis/advanced/scale_ladder.hpp"

namespace skyloam {
namespace {

// The scales some band holds, in scale order.
std::vector<std::size_t> scales_in_bands(std::span<const double> periods,
                                         std::span<const PeriodBand> bands) {
  std::vector<std::size_t> chosen;
  for (std::size_t k = 0; k < periods.size(); ++k) {
    for (const PeriodBand& band : bands) {
      if (band.contains(periods[k])) {
        chosen.push_back(k);
        break;
      }
    }
  }
  return chosen;
}

// Row i of `weighted` is |W|^2 / s at the scale of period row_periods[i],
// rows in scale order. Each band adds its rows in that order, then applies
// the constant factor.
RowMatrix average_over_bands(const RowMatrix& weighted, std::span<const double> row_periods,
                             std::span<const PeriodBand> bands, double dj, double dt) {
  RowMatrix result(bands.size(), weighted.columns());
  const double factor = dj * dt / kMorletReconstructionFactor;
  for (std::size_t b = 0; b < bands.size(); ++b) {
    std::span<double> sum = result.row(b);
    for (std::size_t i = 0; i < row_periods.size(); ++i) {
      if (!bands[b].contains(row_periods[i])) continue;
      const std::span<const double> row = weighted.row(i);
      for (std::size_t t = 0; t < sum.size(); ++t) sum[t] += row[t];
    }
    for (double& value : sum) value *= factor;
  }
  return result;
}

std::vector<double> pick(std::span<const double> values, std::span<const std::size_t> indices) {
  std::vector<double> picked(indices.size());
  for (std::size_t i = 0; i < indices.size(); ++i) picked[i] = values[indices[i]];
  return picked;
}

}  // namespace

RowMatrix scale_averaged_power(const CwtResult& transform, std::span<const PeriodBand> bands) {
  const std::vector<std::size_t> chosen = scales_in_bands(transform.periods, bands);
  RowMatrix weighted(chosen.size(), transform.samples);
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    const std::span<const std::complex<double>> row = transform.row(chosen[i]);
    const double scale = transform.scales[chosen[i]];
    std::span<double> out = weighted.row(i);
    for (std::size_t t = 0; t < row.size(); ++t) out[t] = power_of(row[t]) / scale;
  }
  return average_over_bands(weighted, pick(transform.periods, chosen), bands, transform.dj,
                            transform.dt);
}

Result<RowMatrix> band_power(std::span<const double> y, double dt,
                             std::span<const PeriodBand> bands, double dj) {
  const Result<ScaleLadder> ladder = plan_scales(y.size(), dt, dj, std::nullopt);
  if (!ladder) return fail(ladder.error());
  if (const Result<void> size = check_result_size(bands.size(), y.size(), "bands"); !size) {
    return fail(size.error());
  }
  // Scales outside every band contribute nothing: they are not transformed.
  const std::vector<double> all_scales = ladder->scales();
  const std::vector<std::size_t> chosen = scales_in_bands(fourier_periods(all_scales), bands);
  const std::vector<double> scales = pick(all_scales, chosen);
  RowMatrix weighted(chosen.size(), y.size());
  if (!chosen.empty()) {
    const MorletSpectrum spectrum(y, dt);
    transform_scales(spectrum, scales, [&](std::size_t i, std::span<const std::complex<double>> row) {
      std::span<double> out = weighted.row(i);
      for (std::size_t t = 0; t < row.size(); ++t) out[t] = power_of(row[t]) / scales[i];
    });
  }
  return average_over_bands(weighted, fourier_periods(scales), bands, dj, dt);
}

std::vector<PeriodBand> period_bands_for(double dt) {
  if (dt <= 2.0) return {{2.0, 20.0}, {20.0, 40.0}, {40.0, 80.0}, {80.0, 120.0}};
  if (dt <= 15.0) return {{30.0, 60.0}, {60.0, 120.0}, {120.0, 300.0}, {300.0, 600.0}};
  return {{60.0, 120.0}, {120.0, 300.0}, {300.0, 900.0}, {900.0, 1800.0}};
}

}  // namespace skyloam
