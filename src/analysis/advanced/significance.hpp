// Red-noise (lag-1 autoregressive) significance of wavelet power, after
// Torrence & Compo (1998) eqs. 16-18.
//
// `red_noise_level(y, dt, periods, confidence)` gives, per period p,
// sigma^2 * P(p) * chi2 / 2 with P = (1 - a^2) / (1 + a^2 - 2a cos(2 pi dt/p)),
// sigma^2 the variance of y (divisor n) and a its lag-1 autocorrelation (a
// NaN counts as 0; clamped to [0, 0.99], so anticorrelation is white noise).
// chi2 (2 degrees of freedom) is 5.991 for confidence >= 0.95, else 4.605;
// there are no other levels. Series of n <= 2, or of zero variance, give +inf
// at every period: nothing can be significant. Never fails; a period of 0
// gives NaN.
#pragma once

#include <span>
#include <vector>

namespace skyloam {

std::vector<double> red_noise_level(std::span<const double> y, double dt,
                                    std::span<const double> periods, double confidence);

}  // namespace skyloam
