#include "analysis/advanced/time_binning.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace skyloam {
namespace {

RowMatrix rows_of(const std::vector<std::vector<double>>& rows) {
  RowMatrix m(rows.size(), rows.empty() ? 0 : rows[0].size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) m.row(r)[c] = rows[r][c];
  }
  return m;
}

std::vector<double> as_vector(std::span<const double> values) { return {values.begin(), values.end()}; }

TEST(TimeBinning, EvenlySpacedFewSamplesGetABinEach) {
  // 50 samples 1 s apart: 50 bins of width 1 s.
  std::vector<double> times, values;
  for (int i = 0; i < 50; ++i) {
    times.push_back(100.0 + i);
    values.push_back(i * i);
  }
  const TimeBins bins = bin_by_time(times, rows_of({values}), 96, 100.0);
  ASSERT_EQ(bins.t.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(bins.t[i], i);
  EXPECT_EQ(as_vector(bins.means.row(0)), values);
}

TEST(TimeBinning, MeansPerBinAndEmptyBinsLeftOut) {
  // Three bins over [0, 9 + 1): edges 0, 3.33, 6.67, 10.
  const std::vector<double> times{0.0, 1.0, 2.0, 3.0, 9.0};
  const TimeBins bins = bin_by_time(times, rows_of({{1, 2, 3, 4, 5}, {10, 10, 10, 20, 30}}), 3, 0.0);
  EXPECT_EQ(bins.t, (std::vector{1.5, 9.0}));  // {0,1,2,3}, {}, {9}
  EXPECT_EQ(as_vector(bins.means.row(0)), (std::vector{2.5, 5.0}));
  EXPECT_EQ(as_vector(bins.means.row(1)), (std::vector{12.5, 30.0}));
}

TEST(TimeBinning, LastSampleFallsInTheLastBinAndNothingIsLost) {
  std::vector<double> times;
  std::vector<double> ones;
  for (int i = 0; i < 1000; ++i) {
    times.push_back(1.7e9 + 0.5 * i);
    ones.push_back(1.0);
  }
  const TimeBins bins = bin_by_time(times, rows_of({ones}), 96, 1.7e9);
  EXPECT_EQ(bins.t.size(), 96u);
  EXPECT_EQ(as_vector(bins.means.row(0)), std::vector<double>(96, 1.0));
  EXPECT_GT(bins.t.back(), 490.0);
}

TEST(TimeBinning, UnorderedTimesStillLandInBins) {
  const std::vector<double> times{50.0, 10.0, 20.0, 0.0};
  const TimeBins bins = bin_by_time(times, rows_of({{4, 3, 2, 1}}), 2, 0.0);
  // Span [0, 51): bins [0, 25.5) and [25.5, 51).
  EXPECT_EQ(bins.t, (std::vector{10.0, 50.0}));
  EXPECT_EQ(as_vector(bins.means.row(0)), (std::vector{2.0, 4.0}));
  EXPECT_TRUE(bin_by_time({}, RowMatrix(2, 0), 96, 0.0).t.empty());
}

}  // namespace
}  // namespace skyloam
