#include "analysis/advanced/morlet_cwt.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <vector>

#include "analysis/advanced/fft.hpp"
#include "analysis/advanced/morlet_spectrum.hpp"
#include "analysis/advanced/scale_ladder.hpp"
#include "analysis/advanced/worker_pool.hpp"

namespace skyloam {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<double> sinusoid(std::size_t n, double dt, double period, double phase = 0.3) {
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    y[i] = std::sin(2.0 * M_PI * static_cast<double>(i) * dt / period + phase);
  }
  return y;
}

template <class T>
bool same_bits(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

TEST(MorletCwt, ScaleLadderAndShapes) {
  const Result<CwtResult> result = cwt(sinusoid(100, 1.0, 10.0), 1.0, 0.125);
  ASSERT_TRUE(result.has_value());
  // J = floor(log2(50) / 0.125) = 45.
  EXPECT_EQ(result->j_max(), 45u);
  EXPECT_EQ(result->scales.size(), 46u);
  EXPECT_EQ(result->transform.size(), 46u * 100u);
  EXPECT_EQ(result->scales[0], 2.0);
  EXPECT_DOUBLE_EQ(result->scales[8], 4.0);
  EXPECT_EQ(result->periods[3], 1.0330436477492537 * result->scales[3]);

  // n dt / s0 < 2^(2 dj): the minimum of two scales, s0 and s0 2^dj.
  const Result<CwtResult> tiny = cwt(std::vector{1.0, 2.0}, 1.0, 0.125);
  ASSERT_TRUE(tiny.has_value());
  ASSERT_EQ(tiny->scales.size(), 2u);
  EXPECT_EQ(tiny->scales[1], 2.0 * std::pow(2.0, 0.125));

  const Result<CwtResult> empty = cwt({}, 1.0, 0.125);
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->scales.size(), 2u);
  EXPECT_TRUE(empty->transform.empty());
  EXPECT_TRUE(empty->coi.empty());

  const Result<CwtResult> given_s0 = cwt(sinusoid(64, 0.5, 4.0), 0.5, 0.25, 0.75);
  ASSERT_TRUE(given_s0.has_value());
  EXPECT_EQ(given_s0->scales[0], 0.75);
}

TEST(MorletCwt, ConeOfInfluence) {
  const Result<CwtResult> result = cwt(std::vector{1.0, 5.0, 2.0, 8.0, 3.0}, 1.0, 0.125);
  ASSERT_TRUE(result.has_value());
  const double c = 1.0330436477492537 / 1.4142135623730951;
  EXPECT_EQ(result->coi, (std::vector{0.0, c, 2.0 * c, c, 0.0}));
}

TEST(MorletCwt, ConstantSeriesHasNoPower) {
  const Result<CwtPower> result = cwt_power(std::vector<double>(300, 42.5), 30.0, 0.125);
  ASSERT_TRUE(result.has_value());
  for (const double p : result->power.values()) ASSERT_EQ(p, 0.0);
}

TEST(MorletCwt, SinusoidPeaksAtItsPeriodAwayFromTheCone) {
  for (const double period : {16.0, 45.0, 120.0}) {
    const std::size_t n = 2048;
    const Result<CwtPower> result = cwt_power(sinusoid(n, 1.0, period), 1.0, 0.125);
    ASSERT_TRUE(result.has_value());
    const std::size_t middle = n / 2;
    ASSERT_GT(result->coi[middle], 2.0 * period);
    std::size_t best = 0;
    for (std::size_t j = 0; j < result->scales.size(); ++j) {
      if (result->power.row(j)[middle] > result->power.row(best)[middle]) best = j;
    }
    std::size_t closest = 0;
    for (std::size_t j = 0; j < result->periods.size(); ++j) {
      if (std::fabs(result->periods[j] - period) < std::fabs(result->periods[closest] - period)) {
        closest = j;
      }
    }
    EXPECT_EQ(best, closest) << "period " << period;
    // Two octaves away the power has fallen off steeply.
    EXPECT_GT(result->power.row(best)[middle], 20.0 * result->power.row(best - 16)[middle]);
  }
}

// The transform step by step as Torrence & Compo give it, with the full
// textbook FFT: mean removal, padding, forward transform, daughter on
// positive frequencies, inverse transform.
std::vector<std::complex<double>> reference_row(const std::vector<double>& y, double dt,
                                                double scale) {
  const std::size_t n = y.size(), padded = fft_length_for(n);
  double mean = 0.0;
  for (const double v : y) mean += v;
  mean /= static_cast<double>(n);
  std::vector<std::complex<double>> x(padded);
  for (std::size_t i = 0; i < n; ++i) x[i] = y[i] - mean;
  fft(x, FftDirection::Forward);
  for (std::size_t k = 0; k < padded; ++k) {
    const double index = k < (padded + 1) / 2 ? static_cast<double>(k)
                                              : static_cast<double>(k) - static_cast<double>(padded);
    const double omega = 2.0 * M_PI * index / (static_cast<double>(padded) * dt);
    const double daughter =
        omega > 0.0 ? 0.7511255444649425 * std::exp(-0.5 * ((scale * omega - 6.0) * (scale * omega - 6.0))) *
                          std::sqrt(2.0 * M_PI * scale / dt)
                    : 0.0;
    x[k] = {x[k].real() * daughter, x[k].imag() * daughter};
  }
  fft(x, FftDirection::Inverse);
  x.resize(n);
  return x;
}

TEST(MorletCwt, MatchesTheStepByStepTransform) {
  std::vector<double> y = sinusoid(700, 30.0, 900.0);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] += 0.01 * static_cast<double>(i % 13);
  const Result<CwtResult> result = cwt(y, 30.0, 0.125);
  ASSERT_TRUE(result.has_value());
  for (std::size_t j = 0; j < result->scales.size(); ++j) {
    const std::vector<std::complex<double>> expected = reference_row(y, 30.0, result->scales[j]);
    const std::span<const std::complex<double>> row = result->row(j);
    ASSERT_TRUE(std::equal(row.begin(), row.end(), expected.begin())) << "scale " << j;
  }
}

TEST(MorletCwt, PowerIsTheSquaredModulusOfTheTransform) {
  const std::vector<double> y = sinusoid(300, 2.0, 50.0);
  const Result<CwtResult> complex_result = cwt(y, 2.0, 0.25);
  const Result<CwtPower> power = cwt_power(y, 2.0, 0.25);
  ASSERT_TRUE(complex_result.has_value() && power.has_value());
  ASSERT_EQ(power->power.rows(), complex_result->scales.size());
  for (std::size_t j = 0; j < power->power.rows(); ++j) {
    for (std::size_t i = 0; i < y.size(); ++i) {
      ASSERT_EQ(power->power.row(j)[i], power_of(complex_result->row(j)[i]));
    }
  }
}

TEST(MorletCwt, ResultsDoNotDependOnScheduling) {
  std::vector<double> y = sinusoid(5000, 1.0, 37.0);
  for (std::size_t i = 0; i < y.size(); i += 7) y[i] += 0.5;
  const Result<CwtResult> first = cwt(y, 1.0, 0.125);
  const Result<CwtResult> second = cwt(y, 1.0, 0.125);
  Result<CwtResult> serial = fail(GnssError::message("not run"));
  with_worker_limit(1, [&] { serial = cwt(y, 1.0, 0.125); });
  ASSERT_TRUE(first.has_value() && second.has_value() && serial.has_value());
  EXPECT_TRUE(same_bits(first->transform, second->transform));
  EXPECT_TRUE(same_bits(first->transform, serial->transform));
}

TEST(MorletCwt, RefusesArgumentsThatBreakTheScaleLadder) {
  const std::vector<double> y = sinusoid(100, 1.0, 10.0);
  const auto message = [&](double dt, double dj, std::optional<double> s0) {
    const Result<CwtResult> result = cwt(y, dt, dj, s0);
    return result.has_value() ? std::string("accepted") : result.error().display();
  };
  EXPECT_EQ(message(0.0, 0.125, {}), "dt must be a finite number greater than 0 (got 0)");
  EXPECT_EQ(message(-1.0, 0.125, {}), "dt must be a finite number greater than 0 (got -1)");
  EXPECT_EQ(message(kNaN, 0.125, {}), "dt must be a finite number greater than 0 (got nan)");
  EXPECT_EQ(message(kInf, 0.125, {}), "dt must be a finite number greater than 0 (got inf)");
  EXPECT_EQ(message(1.0, 0.0, {}), "dj must be a finite number greater than 0 (got 0)");
  EXPECT_EQ(message(1.0, kNaN, {}), "dj must be a finite number greater than 0 (got nan)");
  EXPECT_EQ(message(1.0, 0.125, 0.0), "s0 must be a finite number greater than 0 (got 0)");
  EXPECT_EQ(message(1.0, 0.125, -kInf), "s0 must be a finite number greater than 0 (got -inf)");
  EXPECT_EQ(message(1e308, 0.125, {}),
            "2 * dt (the default s0) must be a finite number greater than 0 (got inf)");
  EXPECT_EQ(message(1.0, 1e-300, {}),
            "dj = 1e-300 gives 5.64386e+300 scales, more than the 16384 allowed: increase dj");
  EXPECT_EQ(message(1.0, 5e-324, {}),
            "dj = 4.94066e-324 gives inf scales, more than the 16384 allowed: increase dj");
  // A tiny s0 multiplies the octaves: trunc(log2(100 / 1e-300) / 0.01) + 1 = 100323.
  EXPECT_EQ(message(1.0, 0.01, 1e-300),
            "dj = 0.01 gives 100323 scales, more than the 16384 allowed: increase dj or s0");
  EXPECT_EQ(message(1.0, 0.125, 1e-300), "accepted");  // 8026 scales
  EXPECT_EQ(message(1.0, 1e308, {}),
            "dj and s0 make the largest scale infinite; decrease dj or s0");
  // s0 beyond the series: log2 of a ratio below 1, still two scales.
  EXPECT_EQ(message(1.0, 0.125, 1e300), "accepted");
}

TEST(MorletCwt, RefusesResultsBeyondTheSizeLimit) {
  // The limit is checked on (scales x samples) before anything is allocated.
  const Result<ScaleLadder> at_limit = plan_scales(kMaxTransformValues / 2, 1.0, 10.0, 1e9);
  ASSERT_TRUE(at_limit.has_value());
  EXPECT_EQ(at_limit->count, 2u);
  const Result<ScaleLadder> over = plan_scales(kMaxTransformValues / 2 + 1, 1.0, 10.0, 1e9);
  ASSERT_FALSE(over.has_value());
  EXPECT_EQ(over.error().display(),
            "y has 16777217 samples and the transform 2 scales: more than the 33554432 values "
            "allowed; shorten y or increase dj");
  // A scale count of exactly the maximum passes on its own.
  EXPECT_TRUE(plan_scales(2, 1.0, 1.0 / 16383.0, 1.0).has_value());
  EXPECT_EQ(plan_scales(2, 1.0, 1.0 / 16383.0, 1.0)->count, 16384u);
  EXPECT_FALSE(plan_scales(2, 1.0, 1.0 / 16384.0, 1.0).has_value());
  // 1000 samples at dj = 0.001: 9000 scales, 9 million values, allowed.
  EXPECT_TRUE(plan_scales(1000, 1.0, 0.001, 1.0).has_value());
  // 10000 samples at the same dj: 132877 scales, refused by the scale count.
  EXPECT_FALSE(plan_scales(10000, 1.0, 0.001, 1.0).has_value());
}

}  // namespace
}  // namespace skyloam
