#include "analysis/advanced/scalogram.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/significance.hpp"

namespace skyloam {
namespace {

struct Series {
  std::vector<double> t;
  std::vector<double> values;
};

// SNR-like samples every `step` seconds from `start`.
Series snr(std::size_t n, double start = 1.7e9, double step = 1.0) {
  Series s;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = start + step * static_cast<double>(i);
    s.t.push_back(t);
    s.values.push_back(45.0 + 2.0 * std::sin(t / 9.0) + 0.01 * static_cast<double>(i % 7));
  }
  return s;
}

void append(Series& to, const Series& from) {
  to.t.insert(to.t.end(), from.t.begin(), from.t.end());
  to.values.insert(to.values.end(), from.values.begin(), from.values.end());
}

TEST(Scalogram, NeedsFortySamplesInOneArc) {
  const Series short_series = snr(39);
  const Result<Scalogram> refused = scalogram(short_series.t, short_series.values, 1.0);
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().kind(), ErrorKind::InsufficientData);
  EXPECT_EQ(refused.error().display(),
            "Insufficient data: series too short for a scalogram (< 40 samples)");
  EXPECT_EQ(scalogram({}, {}, 1.0).error().display(),
            "Insufficient data: series too short for a scalogram (< 40 samples)");
  // 60 samples, but split by a gap into arcs of 30.
  Series split = snr(30);
  append(split, snr(30, 2e9));
  EXPECT_EQ(scalogram(split.t, split.values, 1.0).error().kind(), ErrorKind::InsufficientData);

  const Series enough = snr(40);
  EXPECT_TRUE(scalogram(enough.t, enough.values, 1.0).has_value());
}

TEST(Scalogram, RefusesMismatchedAndNonIncreasingTimes) {
  const Series s = snr(50);
  const std::vector<double> fewer(s.values.begin(), s.values.end() - 1);
  EXPECT_EQ(scalogram(s.t, fewer, 1.0).error().display(), "t and values must have the same length");

  const std::vector<double> frozen(50, 1.7e9);
  const Result<Scalogram> repeated = scalogram(frozen, s.values, 1.0);
  ASSERT_FALSE(repeated.has_value());
  EXPECT_EQ(repeated.error().display(),
            "t: the longest arc has no positive sampling step (median step 0 s); times must "
            "increase");
}

TEST(Scalogram, KeepsAboutMaxColumnsOfTheLongestArc) {
  const Series s1199 = snr(1199);
  EXPECT_EQ(scalogram(s1199.t, s1199.values, 1.0, 600)->t.size(), 1199u);  // step 1
  const Series s1200 = snr(1200);
  const Result<Scalogram> halved = scalogram(s1200.t, s1200.values, 1.0, 600);
  ASSERT_TRUE(halved.has_value());
  EXPECT_EQ(halved->t.size(), 600u);
  EXPECT_EQ(halved->t[1], s1200.t[2]);
  EXPECT_EQ(halved->coi.size(), 600u);
  EXPECT_EQ(halved->power.columns(), 600u);

  const Series s40 = snr(40);
  const Result<Scalogram> single = scalogram(s40.t, s40.values, 1.0, 0);
  ASSERT_TRUE(single.has_value());
  EXPECT_EQ(single->t, std::vector{s40.t[0]});
}

TEST(Scalogram, AnalysesTheFirstOfTheLongestArcs) {
  Series two = snr(100, 1000.0, 2.0);
  append(two, snr(100, 5000.0, 2.0));
  const Result<Scalogram> result = scalogram(two.t, two.values, 2.0, 600);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->t.front(), 1000.0);
  EXPECT_EQ(result->t.back(), 1198.0);
  EXPECT_EQ(result->interval, 2.0);
}

TEST(Scalogram, ColumnsAreThoseOfTheFullTransform) {
  Series s = snr(300, 0.0, 5.0);
  const Result<Scalogram> result = scalogram(s.t, s.values, 5.0, 100);  // step 3
  const Result<CwtPower> full = cwt_power(s.values, 5.0, 0.125);
  ASSERT_TRUE(result.has_value() && full.has_value());
  EXPECT_EQ(result->periods, full->periods);
  ASSERT_EQ(result->power.rows(), full->power.rows());
  ASSERT_EQ(result->t.size(), 100u);
  for (std::size_t j = 0; j < full->power.rows(); ++j) {
    for (std::size_t c = 0; c < 100; ++c) {
      ASSERT_EQ(result->power.row(j)[c], full->power.row(j)[3 * c]);
    }
  }
  EXPECT_EQ(result->coi[5], full->coi[15]);
  EXPECT_EQ(result->significance, red_noise_level(s.values, 5.0, full->periods, 0.95));
}

}  // namespace
}  // namespace skyloam
