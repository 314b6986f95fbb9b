// MorletSpectrum: the part of a Morlet transform shared by all its scales,
// and the transform at one scale. Used by the transform front ends
// (morlet_cwt, band_power, scalogram); not an interface of its own.
//
// Construction removes the mean of y, pads it with zeros to N, the smallest
// power of two >= n (1 for n <= 1), takes the forward FFT and tabulates the
// angular frequencies w_k = 2 pi k / (N dt) for k < ceil(N/2), and
// 2 pi (k - N) / (N dt) from there on (the Nyquist bin of an even N counts as
// negative). `transform_at(s)` multiplies the spectrum by the Morlet
// daughter pi^-1/4 exp(-(s w_k - 6)^2 / 2) sqrt(2 pi s / dt) on positive
// frequencies (0 elsewhere), inverse-transforms it (with the 1/N scaling) and
// returns the first n values. The FFT skips what the zeros of the band-limited
// product make trivial (FftPlan::run_with_zero_tail): every non-zero value is
// that of the plain product and full inverse FFT, bit for bit. It only reads
// the shared state, so scales may be computed concurrently, each with its own
// work buffer.
#pragma once

#include <complex>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "analysis/advanced/fft.hpp"

namespace skyloam {

inline constexpr double kMorletOmega0 = 6.0;
inline constexpr double kMorletNormalisation = 0.7511255444649425;  // pi^(-1/4)
inline constexpr double kMorletFourierFactor = 1.0330436477492537;  // period per unit scale
inline constexpr double kSqrtTwo = 1.4142135623730951;

class MorletSpectrum {
 public:
  // dt > 0 and finite (the caller has planned the scales).
  MorletSpectrum(std::span<const double> y, double dt);

  std::size_t samples() const { return samples_; }
  std::size_t padded_length() const { return spectrum_.size(); }

  // `work` is resized to padded_length(); the result points into it.
  std::span<const std::complex<double>> transform_at(double scale,
                                                     std::vector<std::complex<double>>& work) const;

 private:
  std::size_t samples_;
  double dt_;
  std::vector<std::complex<double>> spectrum_;
  std::vector<double> omega_;
  FftPlan inverse_;
};

// Computes the transform at every scale on the worker pool and calls
// visit(i, row) for scales[i], concurrently for different i; `row` is valid
// during the call only.
using ScaleVisitor = std::function<void(std::size_t, std::span<const std::complex<double>>)>;
void transform_scales(const MorletSpectrum& spectrum, std::span<const double> scales,
                      const ScaleVisitor& visit);

// periods_j = 1.0330436477492537 * scales_j.
std::vector<double> fourier_periods(std::span<const double> scales);

// coi_i = min(i, n-1-i) * dt * 1.0330436477492537 / sqrt(2), i < n.
std::vector<double> cone_of_influence(std::size_t samples, double dt);

}  // namespace skyloam
