#include "analysis/advanced/band_power.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "analysis/advanced/scale_ladder.hpp"

namespace skyloam {
namespace {

std::vector<double> two_tones(std::size_t n, double dt) {
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * dt;
    y[i] = 3.0 * std::sin(2.0 * M_PI * t / 30.0) + std::cos(2.0 * M_PI * t / 200.0) + 40.0;
  }
  return y;
}

bool all_zero(std::span<const double> values) {
  for (const double v : values) {
    if (v != 0.0) return false;
  }
  return true;
}

TEST(BandPower, EqualsTheScaleAverageOfTheFullTransformBitForBit) {
  const std::vector<double> y = two_tones(900, 1.0);
  const std::vector<PeriodBand> bands{{2.0, 20.0}, {20.0, 40.0}, {150.0, 260.0}, {1e6, 2e6}};
  const Result<RowMatrix> direct = band_power(y, 1.0, bands);
  const Result<CwtResult> transform = cwt(y, 1.0, 0.125);
  ASSERT_TRUE(direct.has_value() && transform.has_value());
  const RowMatrix averaged = scale_averaged_power(*transform, bands);
  ASSERT_EQ(direct->rows(), 4u);
  ASSERT_EQ(direct->columns(), 900u);
  EXPECT_EQ(std::memcmp(direct->values().data(), averaged.values().data(),
                        averaged.values().size() * sizeof(double)),
            0);
  // The 30 s tone dominates the band holding it; a band beyond every scale is empty.
  EXPECT_GT(direct->row(1)[450], 10.0 * direct->row(0)[450]);
  EXPECT_TRUE(all_zero(direct->row(3)));
}

TEST(BandPower, SumsScalesOfTheBandWithTheReconstructionFactor) {
  const std::vector<double> y = two_tones(256, 2.0);
  const Result<CwtResult> transform = cwt(y, 2.0, 0.25);
  ASSERT_TRUE(transform.has_value());
  const PeriodBand band{transform->periods[5], transform->periods[7]};  // scales 5 and 6
  const RowMatrix power = scale_averaged_power(*transform, std::vector{band});
  for (std::size_t t = 0; t < y.size(); t += 17) {
    const double expected = (power_of(transform->row(5)[t]) / transform->scales[5] +
                             power_of(transform->row(6)[t]) / transform->scales[6]) *
                            0.25 * 2.0 / 0.776;
    EXPECT_DOUBLE_EQ(power.row(0)[t], expected);
  }
}

TEST(BandPower, EmptyBandsAndConstantSeriesGiveZeros) {
  const Result<RowMatrix> degenerate = band_power(two_tones(100, 1.0), 1.0, std::vector<PeriodBand>{{30.0, 30.0}});
  ASSERT_TRUE(degenerate.has_value());
  EXPECT_TRUE(all_zero(degenerate->row(0)));
  const Result<RowMatrix> constant =
      band_power(std::vector<double>(200, 7.0), 1.0, period_bands_for(1.0));
  ASSERT_TRUE(constant.has_value());
  EXPECT_TRUE(all_zero(constant->values()));
  const Result<RowMatrix> no_bands = band_power(two_tones(100, 1.0), 1.0, {});
  ASSERT_TRUE(no_bands.has_value());
  EXPECT_EQ(no_bands->rows(), 0u);
}

TEST(BandPower, RefusesBadArgumentsAndOversizedResults) {
  const std::vector<PeriodBand> one{{2.0, 20.0}};
  const Result<RowMatrix> bad_dt = band_power(two_tones(100, 1.0), 0.0, one);
  ASSERT_FALSE(bad_dt.has_value());
  EXPECT_EQ(bad_dt.error().display(), "dt must be a finite number greater than 0 (got 0)");
  const Result<RowMatrix> bad_dj = band_power(two_tones(100, 1.0), 1.0, one, -0.125);
  ASSERT_FALSE(bad_dj.has_value());
  EXPECT_EQ(bad_dj.error().display(), "dj must be a finite number greater than 0 (got -0.125)");

  // 400000 bands of 100 samples: 4e7 values, over the limit; nothing is allocated.
  const std::vector<PeriodBand> many(400000, PeriodBand{2.0, 20.0});
  const Result<RowMatrix> too_many = band_power(two_tones(100, 1.0), 1.0, many);
  ASSERT_FALSE(too_many.has_value());
  EXPECT_EQ(too_many.error().display(),
            "bands: 400000 rows of 100 samples exceed the 33554432 values allowed in one result");
}

TEST(PeriodBands, TableByInterval) {
  const std::vector<PeriodBand> fine{{2.0, 20.0}, {20.0, 40.0}, {40.0, 80.0}, {80.0, 120.0}};
  const std::vector<PeriodBand> middle{{30.0, 60.0}, {60.0, 120.0}, {120.0, 300.0}, {300.0, 600.0}};
  const std::vector<PeriodBand> coarse{{60.0, 120.0}, {120.0, 300.0}, {300.0, 900.0}, {900.0, 1800.0}};
  EXPECT_EQ(period_bands_for(1.0), fine);
  EXPECT_EQ(period_bands_for(2.0), fine);
  EXPECT_EQ(period_bands_for(-5.0), fine);
  EXPECT_EQ(period_bands_for(2.5), middle);
  EXPECT_EQ(period_bands_for(15.0), middle);
  EXPECT_EQ(period_bands_for(30.0), coarse);
  EXPECT_EQ(period_bands_for(std::numeric_limits<double>::quiet_NaN()), coarse);
}

}  // namespace
}  // namespace skyloam
