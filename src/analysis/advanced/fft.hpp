// The system's own fast Fourier transform: iterative radix-2
// decimation-in-time Cooley-Tukey, in place, on lengths 0, 1 or a power of
// two.
//
// Forward: X_k = sum_n x_n e^(-2 pi i kn/L), unscaled. Inverse:
// x_n = sum_k X_k e^(+2 pi i kn/L) / L. The twiddles are
// w_k = cos(k theta / L) + i sin(k theta / L), k < L/2, theta = -2 pi
// (forward) or +2 pi (inverse); each butterfly is t = w * a[odd],
// a[even] = u + t, a[odd] = u - t with u = a[even]. A plan holds the twiddle
// table of one length and direction so that a transform applied many times
// (one inverse per wavelet scale) computes it once; the arithmetic is the
// same as planning on every call.
//
// A length that is not 0, 1 or a power of two is a broken caller invariant
// (std::invalid_argument).
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace skyloam {

enum class FftDirection : std::uint8_t { Forward, Inverse };

// True for 0, 1 and powers of two.
bool is_fft_length(std::size_t length);
// The smallest power of two >= n (1 for n <= 1). n must not exceed 2^62.
std::size_t fft_length_for(std::size_t n);

class FftPlan {
 public:
  FftPlan(std::size_t length, FftDirection direction);

  std::size_t length() const { return length_; }
  FftDirection direction() const { return direction_; }

  // data.size() must equal length().
  void run(std::span<std::complex<double>> data) const;

  // The same transform of input that is zero from index `nonzero` on (a
  // band-limited spectrum); the elements there are not read. The stages that
  // would only spread each value over zeros become copies. Every non-zero
  // result equals run()'s bit for bit; a zero result may differ from it in
  // the sign of zero.
  void run_with_zero_tail(std::span<std::complex<double>> data, std::size_t nonzero) const;

 private:
  std::size_t length_;
  FftDirection direction_;
  std::vector<std::complex<double>> twiddles_;
};

void fft(std::span<std::complex<double>> data, FftDirection direction);

}  // namespace skyloam
