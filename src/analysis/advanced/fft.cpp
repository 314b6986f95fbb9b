#include "analysis/advanced/fft.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace skyloam {
namespace {

constexpr double kTwoPi = 6.283185307179586;

using Complex = std::complex<double>;

// Swaps a[i] and a[rev(i)] for i < rev(i), rev reversing the low log2(L)
// bits (L = a.size()).
void bit_reverse_permute(std::span<Complex> a) {
  const std::size_t length = a.size();
  std::size_t j = 0;
  for (std::size_t i = 1; i < length; ++i) {
    std::size_t bit = length >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
}

// Two doubles handled as one value: a complex number, or a pair of
// coefficients. GCC and Clang map it to SSE2 or NEON registers.
typedef double Pair __attribute__((vector_size(16)));

// The butterflies of the stages with block sizes first_block .. length:
// t = w * odd, even = u + t, odd = u - t with u = even. The product is
// formed as (wr, wr) * (xr, xi) + (-wi, wi) * (xi, xr), which rounds exactly
// like wr xr - wi xi and wr xi + wi xr. (std::complex's operator* would go
// through a library call for its NaN recovery.)
void butterfly_stages(Complex* a, std::size_t length, std::size_t first_block,
                      std::span<const Complex> w) {
  for (std::size_t block = first_block; block <= length; block <<= 1) {
    const std::size_t half = block / 2;
    const std::size_t stride = length / block;
    for (std::size_t start = 0; start < length; start += block) {
      Complex* even = a + start;
      Complex* odd = even + half;
      for (std::size_t k = 0; k < half; ++k) {
        const double wr = w[k * stride].real(), wi = w[k * stride].imag();
        const double xr = odd[k].real(), xi = odd[k].imag();
        const Pair t = Pair{wr, wr} * Pair{xr, xi} + Pair{-wi, wi} * Pair{xi, xr};
        const Pair u = {even[k].real(), even[k].imag()};
        const Pair sum = u + t, difference = u - t;
        even[k] = {sum[0], sum[1]};
        odd[k] = {difference[0], difference[1]};
      }
    }
  }
}

}  // namespace

bool is_fft_length(std::size_t length) { return length <= 1 || std::has_single_bit(length); }

std::size_t fft_length_for(std::size_t n) { return n <= 1 ? 1 : std::bit_ceil(n); }

FftPlan::FftPlan(std::size_t length, FftDirection direction)
    : length_(length), direction_(direction) {
  if (!is_fft_length(length)) throw std::invalid_argument("FFT length is not a power of two");
  const double theta = direction == FftDirection::Forward ? -kTwoPi : kTwoPi;
  twiddles_.resize(length / 2);
  for (std::size_t k = 0; k < twiddles_.size(); ++k) {
    const double angle = static_cast<double>(k) * theta / static_cast<double>(length);
    twiddles_[k] = {std::cos(angle), std::sin(angle)};
  }
}

void FftPlan::run(std::span<Complex> data) const {
  run_with_zero_tail(data, data.size());
}

void FftPlan::run_with_zero_tail(std::span<Complex> data,
                                 std::size_t nonzero) const {
  if (data.size() != length_) throw std::invalid_argument("FFT data length differs from plan");
  if (length_ <= 1) return;
  nonzero = std::min(nonzero, length_);
  std::size_t first_block = 2;
  if (nonzero == length_) {
    bit_reverse_permute(data);
  } else {
    // Permuted, the K = bit_ceil(nonzero) leading inputs land at multiples of
    // run = L / K, and a position m * run holds input rev_K(m): reversing L
    // bits of m * run reverses the K bits of m. Every other position holds a
    // zero, so until the block size exceeds `run` each butterfly adds w * 0 to
    // its even input and writes the sum to both outputs: those stages only
    // copy each run's first value through the run. Both steps are done here
    // directly, from the top down so no input is overwritten before use.
    const std::size_t head = fft_length_for(nonzero);
    const std::size_t run = length_ / head;
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(nonzero),
              data.begin() + static_cast<std::ptrdiff_t>(head), Complex{0.0, 0.0});
    bit_reverse_permute(data.first(head));
    for (std::size_t m = head; m-- > 0;) {
      std::fill_n(data.begin() + static_cast<std::ptrdiff_t>(m * run), run, data[m]);
    }
    first_block = 2 * run;
  }
  butterfly_stages(data.data(), length_, first_block, twiddles_);
  if (direction_ == FftDirection::Inverse) {
    const double scale = 1.0 / static_cast<double>(length_);
    for (Complex& value : data) value = {value.real() * scale, value.imag() * scale};
  }
}

void fft(std::span<Complex> data, FftDirection direction) {
  FftPlan(data.size(), direction).run(data);
}

}  // namespace skyloam
