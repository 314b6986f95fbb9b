#include "analysis/advanced/fft.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
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
