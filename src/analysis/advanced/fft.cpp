#include "analysis/advanced/fft.hpp"

#include <bit>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace skyloam {
namespace {

constexpr double kTwoPi = 6.283185307179586;

void bit_reverse_permute(std::span<std::complex<double>> a) {
  const std::size_t length = a.size();
  std::size_t j = 0;
  for (std::size_t i = 1; i < length; ++i) {
    std::size_t bit = length >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
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

void FftPlan::run(std::span<std::complex<double>> data) const {
  if (data.size() != length_) throw std::invalid_argument("FFT data length differs from plan");
  if (length_ <= 1) return;
  bit_reverse_permute(data);
  // Plain real arithmetic: std::complex's operator* goes through a library
  // call for its NaN recovery, and gives the same values for finite input.
  const std::complex<double>* w = twiddles_.data();
  std::complex<double>* a = data.data();
  for (std::size_t block = 2; block <= length_; block <<= 1) {
    const std::size_t half = block / 2;
    const std::size_t stride = length_ / block;
    for (std::size_t start = 0; start < length_; start += block) {
      std::complex<double>* even = a + start;
      std::complex<double>* odd = even + half;
      for (std::size_t k = 0; k < half; ++k) {
        const double wr = w[k * stride].real(), wi = w[k * stride].imag();
        const double xr = odd[k].real(), xi = odd[k].imag();
        const double tr = wr * xr - wi * xi;
        const double ti = wr * xi + wi * xr;
        const double ur = even[k].real(), ui = even[k].imag();
        even[k] = {ur + tr, ui + ti};
        odd[k] = {ur - tr, ui - ti};
      }
    }
  }
  if (direction_ == FftDirection::Inverse) {
    const double scale = 1.0 / static_cast<double>(length_);
    for (std::complex<double>& value : data) value = {value.real() * scale, value.imag() * scale};
  }
}

void fft(std::span<std::complex<double>> data, FftDirection direction) {
  FftPlan(data.size(), direction).run(data);
}

}  // namespace skyloam
