// The Morlet continuous wavelet transform (omega0 = 6) of an evenly sampled
// series, computed in the frequency domain after Torrence & Compo (1998).
//
// `cwt(y, dt, dj, s0)` gives the complex transform at every sample for the
// scales of ScaleLadder (s0 = 2 dt unless given), the equivalent Fourier
// periods (1.0330436477492537 * scale) and the cone of influence. The mean
// of y is removed first, so a constant series transforms to zeros; an empty
// y gives two scales, empty rows and an empty cone. `cwt_power` gives the
// same transform as power |W|^2 = re^2 + im^2 without keeping the complex
// values (half the memory). Scales run on the worker pool; rows are placed
// by scale index, so results do not depend on scheduling.
//
// Failures (before any allocation): the argument checks and size limits of
// scale_ladder.hpp, as Message-kind GnssErrors naming the argument.
#pragma once

#include <complex>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "analysis/advanced/row_matrix.hpp"
#include "error/gnss_error.hpp"

namespace skyloam {

struct CwtResult {
  std::size_t samples = 0;
  // (j_max + 1) rows of `samples` values, row j at scale j.
  std::vector<std::complex<double>> transform;
  std::vector<double> scales;   // seconds
  std::vector<double> periods;  // seconds
  std::vector<double> coi;      // seconds, one per sample
  double dj = 0.0;
  double dt = 0.0;

  std::size_t j_max() const { return scales.size() - 1; }
  std::span<const std::complex<double>> row(std::size_t j) const {
    return {transform.data() + j * samples, samples};
  }
};

struct CwtPower {
  RowMatrix power;  // one row per scale, one column per sample
  std::vector<double> scales;
  std::vector<double> periods;
  std::vector<double> coi;
};

Result<CwtResult> cwt(std::span<const double> y, double dt, double dj,
                      std::optional<double> s0 = std::nullopt);

Result<CwtPower> cwt_power(std::span<const double> y, double dt, double dj,
                           std::optional<double> s0 = std::nullopt);

// |w|^2 as re^2 + im^2.
inline double power_of(std::complex<double> w) { return w.real() * w.real() + w.imag() * w.imag(); }

}  // namespace skyloam
