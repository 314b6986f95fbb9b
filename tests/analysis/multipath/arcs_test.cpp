#include "analysis/multipath/arcs.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

#include "analysis/multipath/analysed_epochs.hpp"
#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::ObsFixture;

double interval_of(const std::vector<double>& times, std::optional<double> declared) {
  RinexObsHeader header;
  header.declared_interval = declared;
  ObsFixture f(header);
  for (const double t : times) f.epoch(t).sat("G01");
  const ObsData data = f.finish();
  return sampling_interval(thin_epochs(data, std::nullopt), data.header());
}

TEST(SamplingInterval, UpperMedianOfTheFirst101Steps) {
  std::vector<double> times;
  for (int i = 0; i <= 100; ++i) times.push_back(i);               // 100 steps of 1 s
  for (int i = 1; i <= 200; ++i) times.push_back(100 + 30.0 * i);  // later 30 s steps
  EXPECT_EQ(interval_of(times, 30.0), 1.0);
  EXPECT_EQ(interval_of({0, 30, 60, 90, 91}, std::nullopt), 30.0);   // steps 1, 30, 30, 30
  EXPECT_EQ(interval_of({0, 15, 45, 60}, std::nullopt), 15.0);       // 15, 15, 30: upper median 15
  EXPECT_EQ(interval_of({0, 15, 45, 75}, std::nullopt), 30.0);       // 15, 30, 30
  EXPECT_EQ(interval_of({60, 30, 0}, std::nullopt), 30.0);           // absolute steps
  EXPECT_EQ(interval_of({0, 0.0001, 0.0002}, std::nullopt), 0.001);  // floor of the result
}

TEST(SamplingInterval, FallsBackToTheHeaderThenThirtySeconds) {
  EXPECT_EQ(interval_of({0}, 5.0), 5.0);
  EXPECT_EQ(interval_of({10, 10, 10}, 1.0), 1.0);
  EXPECT_EQ(interval_of({}, 0.0001), 0.001);
  EXPECT_EQ(interval_of({}, std::numeric_limits<double>::quiet_NaN()), 0.001);
  EXPECT_EQ(interval_of({}, std::nullopt), 30.0);
  EXPECT_EQ(interval_of({7}, std::nullopt), 30.0);
}

std::vector<std::int64_t> millis(const std::vector<double>& seconds) {
  std::vector<std::int64_t> out;
  for (const double s : seconds) out.push_back(static_cast<std::int64_t>(std::llround(s * 1000)));
  return out;
}

std::vector<double> values(std::initializer_list<double> list) { return list; }

std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges(const ArcSplit& split) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
  for (const Arc& a : split.arcs) out.emplace_back(a.begin, a.end);
  return out;
}

const ArcBreaks kDefaultBreaks{150.0, 10.0};  // 30 s data, gap factor 5

TEST(SplitArcs, GapsJumpsAndBackwardTime) {
  const std::vector<double> raw(5, 0.0);
  EXPECT_EQ(ranges(split_arcs(millis({0, 30, 180, 331, 361}), raw, {}, kDefaultBreaks)),
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                {0, 3}, {3, 5}}));  // 150 keeps, 151 breaks
  EXPECT_EQ(ranges(split_arcs(millis({0, 30, 60, 90, 120}), values({0, 1, 11.5, 1.0, 11.5}), {},
                              kDefaultBreaks)),
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
  EXPECT_EQ(
      ranges(
          split_arcs(millis({0, 30, 60, 90, 120}), values({0, 10, 0, -10, 0}), {}, kDefaultBreaks)),
      (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 5}}));  // exactly 10 m: no break
  EXPECT_EQ(ranges(split_arcs(millis({0, 30, 20, 50, 50}), raw, {}, kDefaultBreaks)),
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 2}, {2, 5}}));
  EXPECT_EQ(split_arcs(millis({0, 30, 1000}), values({0, 20, 0}), {}, kDefaultBreaks).slip_breaks,
            0u);
  EXPECT_TRUE(split_arcs({}, {}, {}, kDefaultBreaks).arcs.empty());
}

TEST(SplitArcs, ASlipBetweenTwoSamplesBreaksAndCountsOnce) {
  const auto t = millis({0, 30, 90, 120, 150});
  const std::vector<double> raw(5, 0.0);
  // A slip on an epoch where the signal had no sample (60 s) still breaks.
  ArcSplit split = split_arcs(t, raw, millis({60}), kDefaultBreaks);
  EXPECT_EQ(ranges(split), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 2}, {2, 5}}));
  EXPECT_EQ(split.slip_breaks, 1u);
  // Several slips in one step, one of them on the sample itself: one break.
  split = split_arcs(t, raw, millis({31, 60, 90, 90}), kDefaultBreaks);
  EXPECT_EQ(ranges(split), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 2}, {2, 5}}));
  EXPECT_EQ(split.slip_breaks, 1u);
  // At or before the first sample, or at the previous sample: no break here.
  EXPECT_EQ(split_arcs(t, raw, millis({-30, 0, 150.001}), kDefaultBreaks).arcs.size(), 1u);
  // A slip that coincides with a gap or a jump still counts.
  split = split_arcs(millis({0, 30, 400}), values({0, 0, 50}), millis({400}), kDefaultBreaks);
  EXPECT_EQ(split.arcs.size(), 2u);
  EXPECT_EQ(split.slip_breaks, 1u);
  // Two samples at one time: a slip exactly there breaks.
  split = split_arcs(millis({0, 30, 30}), values({0, 0, 0}), millis({30}), kDefaultBreaks);
  EXPECT_EQ(ranges(split),
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 1}, {1, 2}, {2, 3}}));
  EXPECT_EQ(split.slip_breaks, 2u);
}

TEST(SplitArcs, OddThresholdsNeverHang) {
  const auto t = millis({0, 30, 60});
  const std::vector<double> raw = {0, 1, 2};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(split_arcs(t, raw, {}, {nan, nan}).arcs.size(), 1u);
  EXPECT_EQ(split_arcs(t, raw, {}, {-1.0, -1.0}).arcs.size(), 3u);
  EXPECT_EQ(split_arcs(t, raw, {}, {INFINITY, INFINITY}).arcs.size(), 1u);
}

TEST(ArcAcceptance, TenSamplesAndTheMinimumDuration) {
  EXPECT_FALSE(arc_accepted(millis({0, 100, 200, 300, 400, 500, 600, 700, 800}), 300.0));
  std::vector<double> ten;
  for (int i = 0; i < 10; ++i) ten.push_back(30.0 * i);  // 270 s
  EXPECT_FALSE(arc_accepted(millis(ten), 300.0));
  EXPECT_TRUE(arc_accepted(millis(ten), 270.0));
  EXPECT_TRUE(arc_accepted(millis(ten), std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(arc_accepted(millis(ten), -5.0));
}

// 121 samples of 30 s data (3600 s) with a quadratic raw series.
struct ThirtySecondArc {
  std::vector<std::int64_t> t;
  std::vector<double> raw;
  ThirtySecondArc() {
    for (int i = 0; i <= 120; ++i) {
      t.push_back(kBase + 30000LL * i);
      raw.push_back(1.0e6 + 0.01 * i * i);
    }
  }
  static constexpr std::int64_t kBase = 1705276800000;
};

TEST(BiasRemover, MovingWindowMeanOverHalfTheWindowEitherSide) {
  const ThirtySecondArc arc;
  BiasRemover remover;
  std::vector<double> out;
  remover.remove(arc.t, arc.raw, 600.0, out);
  ASSERT_EQ(out.size(), 121u);
  const auto window_mean = [&](int lo, int hi) {
    double sum = 0;
    for (int j = lo; j <= hi; ++j) sum += arc.raw[j];
    return sum / (hi - lo + 1);
  };
  EXPECT_NEAR(out[60], arc.raw[60] - window_mean(50, 70), 1e-7);  // 21 samples within ±300 s
  EXPECT_NEAR(out[0], arc.raw[0] - window_mean(0, 10), 1e-7);     // 11 at the ends
  EXPECT_NEAR(out[120], arc.raw[120] - window_mean(110, 120), 1e-7);
  EXPECT_NEAR(out[3], arc.raw[3] - window_mean(0, 13), 1e-7);
}

TEST(BiasRemover, WholeArcMeanWithoutAUsableWindow) {
  const ThirtySecondArc arc;
  BiasRemover remover;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const std::optional<double> window :
       {std::optional<double>(), std::optional<double>(0.0), std::optional<double>(3600.0),
        std::optional<double>(1e9), std::optional<double>(-60.0), std::optional<double>(nan)}) {
    std::vector<double> out;
    remover.remove(arc.t, arc.raw, window, out);
    EXPECT_NEAR(std::accumulate(out.begin(), out.end(), 0.0), 0.0, 1e-8);
    EXPECT_NEAR(out[0], -(std::accumulate(arc.raw.begin(), arc.raw.end(), 0.0) / 121 - 1e6), 1e-8);
  }
  std::vector<double> out;
  remover.remove(arc.t, arc.raw, 3599.0, out);  // just below the duration: moving window
  EXPECT_NE(std::accumulate(out.begin(), out.end(), 0.0), 0.0);
}

TEST(BiasRemover, TinyWindowsAndRepeatedTimes) {
  BiasRemover remover;
  std::vector<double> out;
  const std::vector<std::int64_t> t = {0, 1000, 1000, 2000, 3000};
  remover.remove(t, values({1, 2, 4, 8, 16}), 1e-9,
                 out);  // half window 0 ms: same-time samples only
  EXPECT_EQ(out, (std::vector<double>{0, -1, 1, 0, 0}));
  remover.remove({}, {}, 600.0, out);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace skyloam
