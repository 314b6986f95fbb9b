#include "analysis/advanced/significance.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace skyloam {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(RedNoiseLevel, TooShortOrConstantSeriesCannotBeSignificant) {
  const std::vector<double> periods{10.0, 20.0};
  EXPECT_EQ(red_noise_level(std::vector{1.0, 2.0}, 1.0, periods, 0.95),
            (std::vector{kInf, kInf}));
  EXPECT_EQ(red_noise_level(std::vector<double>(50, 3.25), 1.0, periods, 0.95),
            (std::vector{kInf, kInf}));
  EXPECT_TRUE(red_noise_level(std::vector{1.0, 2.0, 3.0}, 1.0, {}, 0.95).empty());
}

TEST(RedNoiseLevel, AnticorrelatedSeriesIsWhiteNoise) {
  // +-1 alternating: variance 1, lag-1 correlation -1, taken as 0.
  std::vector<double> y(10);
  for (std::size_t i = 0; i < y.size(); ++i) y[i] = i % 2 == 0 ? 1.0 : -1.0;
  for (const double level : red_noise_level(y, 30.0, std::vector{60.0, 300.0, 1e6}, 0.95)) {
    EXPECT_DOUBLE_EQ(level, 2.9955);
  }
}

TEST(RedNoiseLevel, MatchesTheClosedFormForAKnownAutocorrelation) {
  // y = 1 2 3 5 4: mean 3, variance 2; pairs (1,2) (2,3) (3,5) (5,4) give
  // alpha = 4.5 / sqrt(8.75 * 5).
  const std::vector<double> y{1.0, 2.0, 3.0, 5.0, 4.0};
  const double alpha = 4.5 / std::sqrt(8.75 * 5.0);
  const std::vector<double> periods{2.5, 7.0, 40.0};
  const std::vector<double> levels = red_noise_level(y, 1.0, periods, 0.95);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const double p = (1.0 - alpha * alpha) /
                     (1.0 + alpha * alpha - 2.0 * alpha * std::cos(2.0 * M_PI / periods[i]));
    EXPECT_NEAR(levels[i], 2.0 * p * 5.991 / 2.0, 1e-12);
  }
}

TEST(RedNoiseLevel, PerfectCorrelationIsCappedAndOnlyTwoConfidenceLevelsExist) {
  std::vector<double> ramp(21);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<double>(i);
  const double variance = (21.0 * 21.0 - 1.0) / 12.0;
  const std::vector<double> periods{4.0, 100.0};
  const std::vector<double> levels95 = red_noise_level(ramp, 2.0, periods, 0.95);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const double p = (1.0 - 0.99 * 0.99) /
                     (1.0 + 0.99 * 0.99 - 2.0 * 0.99 * std::cos(2.0 * M_PI * 2.0 / periods[i]));
    EXPECT_NEAR(levels95[i], variance * p * 5.991 / 2.0, 1e-9 * levels95[i]);
  }
  EXPECT_EQ(red_noise_level(ramp, 2.0, periods, 0.99), levels95);
  const std::vector<double> levels90 = red_noise_level(ramp, 2.0, periods, 0.9);
  EXPECT_EQ(red_noise_level(ramp, 2.0, periods, 0.5), levels90);
  for (std::size_t i = 0; i < periods.size(); ++i) {
    EXPECT_NEAR(levels90[i], levels95[i] * 4.605 / 5.991, 1e-12 * levels95[i]);
  }
}

}  // namespace
}  // namespace skyloam
