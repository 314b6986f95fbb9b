// The Torrence & Compo (1998) Nino3 sea-surface temperature series: quarterly
// from 1871, its El Nino variability lies in the 2 to 8 year band.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "analysis/advanced/band_power.hpp"
#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/significance.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

constexpr double kQuarter = 0.25;  // years
constexpr double kFirstYear = 1871.0;

std::vector<double> read_nino3() {
  std::ifstream in(testing::testdata_path("misc/sst_nino3.dat"));
  std::vector<double> values;
  for (double v; in >> v;) values.push_back(v);
  return values;
}

double mean_between(std::span<const double> series, double from_year, double to_year) {
  double sum = 0.0;
  std::size_t count = 0;
  for (std::size_t i = 0; i < series.size(); ++i) {
    const double year = kFirstYear + kQuarter * static_cast<double>(i);
    if (year < from_year || year >= to_year) continue;
    sum += series[i];
    ++count;
  }
  return sum / static_cast<double>(count);
}

TEST(Nino3, TimeAveragedPowerInsideTheConePeaksBetweenTwoAndEightYears) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::vector<double> sst = read_nino3();
  ASSERT_EQ(sst.size(), 504u);
  const Result<CwtPower> wavelet = cwt_power(sst, kQuarter, 0.125);
  ASSERT_TRUE(wavelet.has_value());

  double best_power = -1.0, best_period = 0.0;
  for (std::size_t j = 0; j < wavelet->periods.size(); ++j) {
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < sst.size(); ++i) {
      if (wavelet->periods[j] >= wavelet->coi[i]) continue;
      sum += wavelet->power.row(j)[i];
      ++count;
    }
    if (count > 0 && sum / static_cast<double>(count) > best_power) {
      best_power = sum / static_cast<double>(count);
      best_period = wavelet->periods[j];
    }
  }
  EXPECT_GT(best_period, 2.0);
  EXPECT_LT(best_period, 8.0);

  // Where power beats the 95 % red-noise level often, it does so in that band.
  const std::vector<double> levels = red_noise_level(sst, kQuarter, wavelet->periods, 0.95);
  for (std::size_t j = 0; j < wavelet->periods.size(); ++j) {
    std::size_t significant = 0, inside = 0;
    for (std::size_t i = 0; i < sst.size(); ++i) {
      if (wavelet->periods[j] >= wavelet->coi[i]) continue;
      ++inside;
      if (wavelet->power.row(j)[i] > levels[j]) ++significant;
    }
    if (inside > 0 && significant > inside / 5) {
      EXPECT_GT(wavelet->periods[j], 2.0);
      EXPECT_LT(wavelet->periods[j], 8.0);
    }
  }
}

TEST(Nino3, ElNinoBandIsQuietInTheMidCentury) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::vector<double> sst = read_nino3();
  const Result<RowMatrix> power = band_power(sst, kQuarter, std::vector<PeriodBand>{{2.0, 8.0}});
  ASSERT_TRUE(power.has_value());
  const double quiet = mean_between(power->row(0), 1920.0, 1960.0);
  EXPECT_GT(mean_between(power->row(0), 1871.0, 1920.0), 1.5 * quiet);
  EXPECT_GT(mean_between(power->row(0), 1960.0, 1997.0), 1.5 * quiet);
}

}  // namespace
}  // namespace skyloam
