#include "analysis/multipath/slip_detector.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "analysis/multipath/combinations.hpp"
#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::GpsTrack;
using testing::kFixtureStartMs;
using testing::ObsFixture;
using testing::sat;

// One GPS satellite on C1C/L1C/C2W/L2W; `edit` may change an epoch's values.
struct Values {
  double c1, l1, c2, l2;
  std::uint8_t lli1 = kNoIndicator;
};

ObsData gps_track(const std::vector<double>& times,
                  const std::function<void(std::size_t, Values&)>& edit = {}) {
  const GpsTrack track;
  ObsFixture f;
  for (std::size_t i = 0; i < times.size(); ++i) {
    const double t = times[i];
    Values v{track.code(t, 0.0), track.phase1(t), track.code(t, 0.0), track.phase2(t)};
    if (edit) edit(i, v);
    f.epoch(t)
        .sat("G01")
        .obs("C1C", v.c1)
        .obs("L1C", v.l1, v.lli1)
        .obs("C2W", v.c2)
        .obs("L2W", v.l2);
  }
  return f.finish();
}

std::vector<double> every_30s(int count) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) times.push_back(30.0 * i);
  return times;
}

SlipDetection detect(const ObsData& data, const AnalyzerConfig& config = {}) {
  const auto epochs = thin_epochs(data, config.max_epochs);
  return detect_slips(epochs, data, config);
}

std::string describe(const SlipRecord& r) {
  std::string text = to_string(r.satellite);
  text.append(" ").append(std::to_string(calendar_millis(r.time) - kFixtureStartMs));
  text.append(" ").append(method_text(r.method));
  for (const ObsCode& c : r.codes()) text.append(" ").append(to_string(c));
  return text;
}

std::vector<std::string> describe(const SlipDetection& d) {
  std::vector<std::string> out;
  for (const SlipRecord& r : d.records) out.push_back(describe(r));
  return out;
}

TEST(LossOfLock, BitsZeroAndOneAreSlipsFromTheFirstEpochOn) {
  const std::uint8_t flags[] = {1, 0, 2, 3, 4, 5, 8, kNoIndicator};
  const ObsData data =
      gps_track(every_30s(8), [&](std::size_t i, Values& v) { v.lli1 = flags[i]; });
  const SlipDetection d = detect(data);
  EXPECT_EQ(describe(d), (std::vector<std::string>{"G01 0 lli L1C", "G01 60000 lli L1C",
                                                   "G01 90000 lli L1C", "G01 150000 lli L1C"}));
  EXPECT_EQ(d.records[0].magnitude, 1.0);
  EXPECT_EQ(d.records[0].threshold, 0.0);
  AnalyzerConfig no_lli;
  no_lli.use_lli = false;
  EXPECT_TRUE(detect(data, no_lli).records.empty());
}

TEST(CodePhaseTest, AChangeOfExactlyTheThresholdIsNoSlip) {
  // A standing satellite: only the deliberate code steps change anything.
  const auto standing = [](double step) {
    ObsFixture f;
    for (int i = 0; i < 4; ++i) {
      f.epoch(30.0 * i).sat("G01").obs("C1C", 2.2e7 + (i >= 2 ? step : 0.0)).obs("L1C", 1.15e8);
    }
    return f.finish();
  };
  EXPECT_TRUE(detect(standing(8.0)).records.empty());  // threshold 5.0 + 0.10 x 30 = 8.0
  const SlipDetection d = detect(standing(8.001));
  ASSERT_EQ(describe(d), (std::vector<std::string>{"G01 60000 code_phase L1C C1C"}));
  EXPECT_NEAR(d.records[0].magnitude, 8.001, 1e-6);
  EXPECT_EQ(d.records[0].threshold, 8.0);
}

TEST(GeometryFreeTest, AChangeOfExactlyTheThresholdIsNoSlip) {
  const ObsData data = gps_track(every_30s(2), [](std::size_t i, Values& v) { v.l2 += i * 3.0; });
  const BandFrequencies f(sat("G01"), RinexObsHeader{});
  const auto gf_l2 = [&](std::size_t epoch) {
    const auto obs = data.epochs()[epoch].satellites()[0].observations();
    return geometry_free(f.wavelength(2), obs[3].value, f.wavelength(1), obs[1].value,
                         frequency_ratio_squared(f.frequency(2), f.frequency(1)));
  };
  const double change = std::abs(gf_l2(1) - gf_l2(0));  // larger than L1C's own change

  AnalyzerConfig config;
  config.ion_delta_rate = 0.0;
  config.ion_delta_base = change;
  EXPECT_TRUE(detect(data, config).records.empty());
  config.ion_delta_base = std::nextafter(change, 0.0);
  const SlipDetection d = detect(data, config);
  ASSERT_EQ(describe(d), (std::vector<std::string>{"G01 30000 gf L2W L1C"}));
  EXPECT_EQ(d.records[0].magnitude, change);
  EXPECT_EQ(d.records[0].threshold, config.ion_delta_base);
}

TEST(GeometryFreeTest, BothPhasesOfASlipAreTestedAgainstEachOther) {
  // GPS C1C, L1C, C2P, L2W: L1C pairs with L2W and L2W with L1C; C2P has no
  // L2P, so its wild steps go untested.
  const GpsTrack track;
  ObsFixture f;
  for (int i = 0; i < 3; ++i) {
    const double t = 30.0 * i;
    f.epoch(t).sat("G01").obs("C1C", track.code(t, 0)).obs("L1C", track.phase1(t));
    f.obs("C2P", track.code(t, 100.0 * i)).obs("L2W", track.phase2(t) + (i == 2 ? 10.0 : 0.0));
  }
  const SlipDetection d = detect(f.finish());
  EXPECT_EQ(describe(d),
            (std::vector<std::string>{"G01 60000 gf L1C L2W", "G01 60000 gf L2W L1C"}));
  EXPECT_NEAR(d.records[0].magnitude, 10.0 * track.l2_wavelength / 0.6469, 1e-3);
  EXPECT_NEAR(d.records[0].threshold, 0.19, 1e-12);
}

TEST(GeometryFreeTest, APartnerChangeIsNoComparison) {
  const GpsTrack track;
  ObsFixture f;
  for (int i = 0; i < 4; ++i) {
    const double t = 30.0 * i;
    f.epoch(t).sat("G01").obs("L1C", track.phase1(t) + 5.0 * i);  // a slip every epoch
    if (i == 0)
      f.obs("L2W", track.phase2(t));
    else
      f.obs("L5Q", track.phase2(t));
  }
  // Epoch 1 switches to L5Q: only epochs 2 and 3 compare (L1C against L5Q and back).
  EXPECT_EQ(describe(detect(f.finish())),
            (std::vector<std::string>{"G01 60000 gf L1C L5Q", "G01 60000 gf L5Q L1C",
                                      "G01 90000 gf L1C L5Q", "G01 90000 gf L5Q L1C"}));
}

TEST(RateTests, SkippedAcrossLongGapsAndRepeatedTimes) {
  const auto jumps = [](std::size_t i, Values& v) { v.c1 += 100.0 * static_cast<double>(i); };
  // 301 s: no test, but the state moves on, so 331 compares with 301.
  EXPECT_EQ(describe(detect(gps_track({0, 301, 331}, jumps))),
            (std::vector<std::string>{"G01 331000 code_phase L1C C1C"}));
  EXPECT_EQ(describe(detect(gps_track({0, 300}, jumps))),
            (std::vector<std::string>{"G01 300000 code_phase L1C C1C"}));
  EXPECT_TRUE(detect(gps_track({0, 0, 0.0005}, jumps)).records.empty());
  const SlipDetection d = detect(gps_track({0, 301, 331}, jumps));
  EXPECT_NEAR(d.records[0].threshold, 5.0 + 0.10 * 30.0, 1e-9);
}

TEST(RateTests, ZeroValuesAreMissingObservationsNotMeasurements) {
  const ObsData data = gps_track(every_30s(5), [](std::size_t i, Values& v) {
    if (i == 2) {
      v.c1 = 0.0;  // blank code written as 0.000
      v.l2 = 0.0;
      v.lli1 = 1;  // loss of lock is still reported
    }
  });
  EXPECT_EQ(describe(detect(data)), (std::vector<std::string>{"G01 60000 lli L1C"}));
}

TEST(RecordOrder, TimeThenSatelliteTextThenDetectionOrder) {
  const GpsTrack track;
  ObsFixture f;
  for (const double t : {30.0, 0.0, 60.0}) {  // file order is not time order
    for (const char* s : {"G11", "G100", "G02"}) {
      const bool slip = t == 60.0;
      f.epoch(t);  // one epoch per satellite keeps file order within the time
      f.sat(s)
          .obs("C1C", track.code(t, slip ? 50.0 : 0.0))
          .obs("L1C", track.phase1(t), slip ? 1 : 0);
      f.obs("C2W", track.code(t, 0))
          .obs("L2W", track.phase2(t) + (slip ? 20.0 : 0.0), slip ? 2 : 0);
    }
  }
  const std::vector<std::string> per_satellite = {"lli L1C", "lli L2W", "gf L1C L2W", "gf L2W L1C",
                                                  "code_phase L1C C1C"};
  std::vector<std::string> expected;
  for (const char* s : {"G02", "G100", "G11"}) {
    for (const std::string& r : per_satellite) expected.push_back(std::string(s) + " 60000 " + r);
  }
  const SlipDetection d = detect(f.finish());
  EXPECT_EQ(describe(d), expected);

  const auto l2w = d.index.times(sat("G100"), code("L2W"));
  EXPECT_EQ(std::vector<std::int64_t>(l2w.begin(), l2w.end()),
            (std::vector<std::int64_t>{kFixtureStartMs + 60000}));
  EXPECT_TRUE(d.index.times(sat("G100"), code("C1C")).empty());  // codes are not indexed
  EXPECT_TRUE(d.index.times(sat("G03"), code("L1C")).empty());
}

TEST(SlipDetection, DisabledOrEmptyGivesNothing) {
  AnalyzerConfig off;
  off.detect_cycle_slips = false;
  const ObsData data = gps_track(every_30s(3), [](std::size_t, Values& v) { v.lli1 = 1; });
  EXPECT_TRUE(detect(data, off).records.empty());
  EXPECT_TRUE(detect(ObsFixture().finish()).records.empty());
}

}  // namespace
}  // namespace skyloam
