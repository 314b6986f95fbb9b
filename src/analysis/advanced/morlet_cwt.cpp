#include "analysis/advanced/morlet_cwt.hpp"

#include <algorithm>

#include "analysis/advanced/morlet_spectrum.hpp"
#include "analysis/advanced/scale_ladder.hpp"

namespace skyloam {

Result<CwtResult> cwt(std::span<const double> y, double dt, double dj, std::optional<double> s0) {
  const Result<ScaleLadder> ladder = plan_scales(y.size(), dt, dj, s0);
  if (!ladder) return fail(ladder.error());
  CwtResult result;
  result.samples = y.size();
  result.scales = ladder->scales();
  result.periods = fourier_periods(result.scales);
  result.coi = cone_of_influence(y.size(), dt);
  result.dj = dj;
  result.dt = dt;
  result.transform.resize(ladder->count * y.size());
  const MorletSpectrum spectrum(y, dt);
  transform_scales(spectrum, result.scales,
                   [&](std::size_t j, std::span<const std::complex<double>> row) {
                     std::copy(row.begin(), row.end(), result.transform.begin() +
                                                           static_cast<std::ptrdiff_t>(j * y.size()));
                   });
  return result;
}

Result<CwtPower> cwt_power(std::span<const double> y, double dt, double dj,
                           std::optional<double> s0) {
  const Result<ScaleLadder> ladder = plan_scales(y.size(), dt, dj, s0);
  if (!ladder) return fail(ladder.error());
  CwtPower result{RowMatrix(ladder->count, y.size()), ladder->scales(), {},
                  cone_of_influence(y.size(), dt)};
  result.periods = fourier_periods(result.scales);
  const MorletSpectrum spectrum(y, dt);
  transform_scales(spectrum, result.scales,
                   [&](std::size_t j, std::span<const std::complex<double>> row) {
                     std::span<double> out = result.power.row(j);
                     for (std::size_t i = 0; i < row.size(); ++i) out[i] = power_of(row[i]);
                   });
  return result;
}

}  // namespace skyloam
