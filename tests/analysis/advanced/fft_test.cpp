#include "analysis/advanced/fft.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

namespace skyloam {
namespace {

using Complex = std::complex<double>;

std::vector<Complex> direct_dft(const std::vector<Complex>& x, double sign) {
  const std::size_t n = x.size();
  std::vector<Complex> out(n);
  for (std::size_t k = 0; k < n; ++k) {
    Complex sum = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
      const double angle = sign * 2.0 * M_PI * static_cast<double>((k * j) % n) / static_cast<double>(n);
      sum += x[j] * Complex(std::cos(angle), std::sin(angle));
    }
    out[k] = sum;
  }
  return out;
}

std::vector<Complex> random_signal(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<Complex> x(n);
  for (Complex& v : x) v = {uniform(rng), uniform(rng)};
  return x;
}

TEST(Fft, AgreesWithTheDirectTransformBothWays) {
  for (std::size_t n = 1; n <= 1024; n *= 2) {
    const std::vector<Complex> x = random_signal(n, static_cast<unsigned>(n));
    std::vector<Complex> forward = x;
    fft(forward, FftDirection::Forward);
    const std::vector<Complex> expected = direct_dft(x, -1.0);
    std::vector<Complex> inverse = x;
    fft(inverse, FftDirection::Inverse);
    const std::vector<Complex> expected_inverse = direct_dft(x, 1.0);
    const double tolerance = 1e-12 * static_cast<double>(n);
    for (std::size_t k = 0; k < n; ++k) {
      ASSERT_NEAR(std::abs(forward[k] - expected[k]), 0.0, tolerance) << "n " << n << " k " << k;
      ASSERT_NEAR(std::abs(inverse[k] - expected_inverse[k] / static_cast<double>(n)), 0.0,
                  tolerance / static_cast<double>(n))
          << "n " << n << " k " << k;
    }
  }
}

TEST(Fft, InverseUndoesForward) {
  const std::vector<Complex> x = random_signal(4096, 7);
  std::vector<Complex> y = x;
  fft(y, FftDirection::Forward);
  fft(y, FftDirection::Inverse);
  for (std::size_t i = 0; i < x.size(); ++i) ASSERT_NEAR(std::abs(y[i] - x[i]), 0.0, 1e-13);
}

TEST(Fft, ImpulseAndTrivialLengths) {
  std::vector<Complex> impulse(8);
  impulse[0] = 1.0;
  fft(impulse, FftDirection::Forward);
  for (const Complex& v : impulse) EXPECT_EQ(v, Complex(1.0, 0.0));

  std::vector<Complex> empty;
  fft(empty, FftDirection::Forward);
  std::vector<Complex> one{Complex(2.0, -3.0)};
  fft(one, FftDirection::Inverse);
  EXPECT_EQ(one[0], Complex(2.0, -3.0));  // L = 1: no scaling either
}

TEST(Fft, PlanRepeatsTheSameArithmetic) {
  const std::vector<Complex> x = random_signal(512, 3);
  const FftPlan plan(512, FftDirection::Inverse);
  std::vector<Complex> planned = x;
  plan.run(planned);
  std::vector<Complex> direct = x;
  fft(direct, FftDirection::Inverse);
  EXPECT_EQ(planned, direct);
}

// The textbook form of the transform: bit reversal, then one pass per block
// size with the twiddle table w_k = cos(k theta / L) + i sin(k theta / L).
void textbook_fft(std::vector<Complex>& a, bool inverse) {
  const std::size_t length = a.size();
  for (std::size_t i = 0, j = 0; i < length; ++i) {
    if (i < j) std::swap(a[i], a[j]);
    std::size_t bit = length >> 1;
    for (; bit != 0 && (j & bit) != 0; bit >>= 1) j ^= bit;
    j |= bit;
  }
  const double theta = inverse ? 2.0 * M_PI : -2.0 * M_PI;
  std::vector<Complex> w(length / 2);
  for (std::size_t k = 0; k < w.size(); ++k) {
    const double angle = static_cast<double>(k) * theta / static_cast<double>(length);
    w[k] = {std::cos(angle), std::sin(angle)};
  }
  for (std::size_t e = 2; e <= length; e *= 2) {
    for (std::size_t b = 0; b < length; b += e) {
      for (std::size_t k = 0; k < e / 2; ++k) {
        const Complex x = a[b + k + e / 2], v = w[k * (length / e)];
        const Complex t{v.real() * x.real() - v.imag() * x.imag(),
                        v.real() * x.imag() + v.imag() * x.real()};
        const Complex u = a[b + k];
        a[b + k] = u + t;
        a[b + k + e / 2] = u - t;
      }
    }
  }
  if (inverse) {
    for (Complex& v : a) v = {v.real() / static_cast<double>(length), v.imag() / static_cast<double>(length)};
  }
}

TEST(Fft, PerformsExactlyTheTextbookArithmetic) {
  for (std::size_t n = 2; n <= 8192; n *= 2) {
    for (const bool inverse : {false, true}) {
      const std::vector<Complex> x = random_signal(n, static_cast<unsigned>(3 * n + inverse));
      std::vector<Complex> ours = x, reference = x;
      fft(ours, inverse ? FftDirection::Inverse : FftDirection::Forward);
      textbook_fft(reference, inverse);
      ASSERT_EQ(std::memcmp(ours.data(), reference.data(), n * sizeof(Complex)), 0) << n;
    }
  }
}

TEST(Fft, ZeroTailGivesTheFullTransformsValues) {
  const std::size_t n = 1024;
  const FftPlan plan(n, FftDirection::Inverse);
  for (const std::size_t nonzero : {0u, 1u, 2u, 3u, 5u, 100u, 511u, 512u, 513u, 1000u, 1024u}) {
    std::vector<Complex> x = random_signal(n, static_cast<unsigned>(nonzero));
    std::fill(x.begin() + static_cast<std::ptrdiff_t>(nonzero), x.end(), Complex(0.0, 0.0));
    std::vector<Complex> full = x, pruned = x;
    plan.run(full);
    // The tail is not read: garbage there must not matter.
    std::fill(pruned.begin() + static_cast<std::ptrdiff_t>(nonzero), pruned.end(), Complex(7.0, -7.0));
    plan.run_with_zero_tail(pruned, nonzero);
    EXPECT_EQ(full, pruned) << nonzero;  // == : equal values, a zero's sign aside
  }
}

TEST(Fft, LengthHelpersAndRefusals) {
  EXPECT_EQ(fft_length_for(0), 1u);
  EXPECT_EQ(fft_length_for(1), 1u);
  EXPECT_EQ(fft_length_for(100), 128u);
  EXPECT_EQ(fft_length_for(128), 128u);
  EXPECT_TRUE(is_fft_length(0));
  EXPECT_FALSE(is_fft_length(12));
  std::vector<Complex> twelve(12);
  EXPECT_THROW(fft(twelve, FftDirection::Forward), std::invalid_argument);
  EXPECT_THROW(FftPlan(8, FftDirection::Forward).run(twelve), std::invalid_argument);
}

}  // namespace
}  // namespace skyloam
