// Scale-averaged wavelet power over period bands, and the band table of the
// per-satellite SNR analysis.
//
// A scale belongs to the band (lo, hi) when lo <= period < hi. The band's
// series is, per sample t, sum over its scales k of |W_k(t)|^2 / s_k, times
// dj * dt / 0.776 (the Morlet reconstruction factor); a band holding no scale
// gives zeros.
//
// `scale_averaged_power(cwt, bands)` works on a computed transform.
// `band_power(y, dt, bands, dj)` transforms y itself (s0 = 2 dt) but only at
// the scales some band needs; its values equal those of
// scale_averaged_power(cwt(y, dt, dj), bands) bit for bit. It fails like cwt
// (scale_ladder.hpp), and when bands x samples exceeds the same value limit.
//
// `period_bands_for(dt)`: dt <= 2 s: (2,20) (20,40) (40,80) (80,120);
// 2 < dt <= 15: (30,60) (60,120) (120,300) (300,600); otherwise, NaN
// included: (60,120) (120,300) (300,900) (900,1800) seconds.
#pragma once

#include <span>
#include <vector>

#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/row_matrix.hpp"
#include "error/gnss_error.hpp"

namespace skyloam {

struct PeriodBand {
  double lo = 0.0;  // seconds, inclusive
  double hi = 0.0;  // seconds, exclusive

  bool contains(double period) const { return lo <= period && period < hi; }
  friend bool operator==(const PeriodBand&, const PeriodBand&) = default;
};

inline constexpr double kMorletReconstructionFactor = 0.776;

// One row per band, one column per sample.
RowMatrix scale_averaged_power(const CwtResult& transform, std::span<const PeriodBand> bands);

Result<RowMatrix> band_power(std::span<const double> y, double dt,
                             std::span<const PeriodBand> bands, double dj = 0.125);

std::vector<PeriodBand> period_bands_for(double dt);

}  // namespace skyloam
