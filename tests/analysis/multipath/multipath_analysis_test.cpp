#include "analysis/multipath/multipath_analysis.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/combinations.hpp"
#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::GpsObservations;
using testing::GpsTrack;
using testing::kFixtureStartMs;
using testing::ObsFixture;
using testing::sat;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A code multipath pattern with a clear shape and zero mean over 3 samples.
double pattern(int i) { return 0.01 * (i % 3 - 1) + 0.003 * (i % 7); }

using Edit = std::function<void(int epoch, GpsObservations&)>;

// G01 (and more satellites) on C1C/L1C/S1C/C2W/L2W, `count` epochs 30 s apart.
ObsData gps_data(int count, const Edit& edit = {},
                 std::initializer_list<const char*> satellites = {"G01"}) {
  const GpsTrack track;
  ObsFixture f;
  for (int i = 0; i < count; ++i) {
    const double t = 30.0 * i;
    f.epoch(t);
    for (const char* s : satellites) {
      GpsObservations v = track.at(t, pattern(i), -pattern(i));
      if (edit) edit(i, v);
      f.gps(s, v);
    }
  }
  return f.finish();
}

std::vector<double> values_of(const AnalysisOutput& out, const char* label) {
  std::vector<double> values;
  for (const MultipathStats& s : out.statistics) {
    if (s.label != label) continue;
    for (std::size_t i = 0; i < s.count; ++i)
      values.push_back(out.estimates.mp()[s.first_estimate + i]);
  }
  return values;
}

double mean_of(const std::vector<double>& v, std::size_t begin, std::size_t end) {
  return std::accumulate(v.begin() + static_cast<std::ptrdiff_t>(begin),
                         v.begin() + static_cast<std::ptrdiff_t>(end), 0.0) /
         static_cast<double>(end - begin);
}

std::vector<std::pair<std::string, std::uint32_t>> counts(const AnalysisOutput& out) {
  std::vector<std::pair<std::string, std::uint32_t>> c;
  for (const LabelSlipCount& s : out.slip_counts) c.emplace_back(s.label, s.count);
  return c;
}

TEST(MultipathCombination, IsCodeMultipathPlusAConstant) {
  const GpsTrack track;
  const double gamma = (1575420000.0 * 1575420000.0) / (1227600000.0 * 1227600000.0);
  const double a = 2.0 / (gamma - 1.0);
  const double constant = -(1.0 + a) * track.l1_wavelength * track.ambiguity1 +
                          a * track.l2_wavelength * track.ambiguity2;
  for (const double t : {0.0, 30.0, 86370.0}) {
    const double mp =
        multipath_combination(track.code(t, 0.42), track.l1_wavelength, track.phase1(t),
                              track.l2_wavelength, track.phase2(t), gamma);
    EXPECT_NEAR(mp, 0.42 + constant, 1e-6);
  }
}

TEST(Analyze, EstimatesAreTheCodeMultipathLessTheArcMean) {
  const AnalysisOutput out = analyze(gps_data(20), AnalyzerConfig{});
  ASSERT_EQ(out.statistics.size(), 2u);
  EXPECT_EQ(out.statistics[0].label, "GPSM1C");
  EXPECT_EQ(out.statistics[1].label, "GPSM2W");
  double mean = 0;
  for (int i = 0; i < 20; ++i) mean += pattern(i) / 20;
  const auto c1c = values_of(out, "GPSM1C");
  const auto c2w = values_of(out, "GPSM2W");
  ASSERT_EQ(c1c.size(), 20u);
  ASSERT_EQ(c2w.size(), 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_NEAR(c1c[i], pattern(i) - mean, 1e-6) << i;
    EXPECT_NEAR(c2w[i], -pattern(i) + mean, 1e-6) << i;
  }
  const MpEstimate first = out.estimates.row(0);
  EXPECT_EQ(first.satellite, sat("G01"));
  EXPECT_EQ(first.signal, code("C1C"));
  EXPECT_EQ(first.elevation, 45.0);
  EXPECT_EQ(first.azimuth, 0.0);
  EXPECT_EQ(first.snr(), 45.0);
  EXPECT_EQ(format_iso(calendar_from_millis(out.estimates.time_ms()[1])),
            "2024-01-15T00:00:30.000Z");
  EXPECT_EQ(out.estimates.row(20).snr(), std::nullopt);  // C2W has no S2x code
  EXPECT_EQ(out.statistics[0].code, code("C1C"));
  EXPECT_EQ(out.statistics[0].system, GnssSystem::GPS);
  EXPECT_TRUE(out.cycle_slips.empty());
  EXPECT_TRUE(out.slip_counts.empty());
}

TEST(Analyze, LabelsInByteOrderAndSatellitesInOrderWithinALabel) {
  const GpsTrack track;
  ObsFixture f;
  for (int i = 0; i < 12; ++i) {
    const double t = 30.0 * i;
    f.epoch(t);
    for (const char* s : {"G02", "E05", "G01"}) {
      f.sat(s).obs("C1W", track.code(t, pattern(i))).obs("C1C", track.code(t, pattern(i)));
      f.obs("C5Q", track.code(t, pattern(i))).obs("L1C", track.phase1(t));
      f.obs("L5Q", track.range(t) / (kSpeedOfLight / 1176450000.0));
    }
  }
  AnalyzerConfig config;
  config.systems = {GnssSystem::GPS, GnssSystem::Galileo};
  config.exclude_codes = {"GC5Q", "EC1C", "EC1W"};
  config.min_arc_seconds = 0.0;
  const AnalysisOutput out = analyze(f.finish(), config);
  std::vector<std::string> order;
  for (std::size_t i = 0; i < out.estimates.size(); ++i) {
    const MpEstimate e = out.estimates.row(i);
    const std::string key = to_string(e.satellite) + to_string(e.signal);
    if (order.empty() || order.back() != key) order.push_back(key);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"E05C5Q", "G01C1C", "G02C1C", "G01C1W", "G02C1W"}));
  std::vector<std::string> labels;
  for (const MultipathStats& s : out.statistics) labels.push_back(s.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"GALM5Q", "GPSM1C", "GPSM1W"}));
  EXPECT_EQ(out.statistics[1].first_estimate, 12u);
  EXPECT_EQ(out.statistics[1].count, 24u);
}

TEST(Analyze, ElevationCutoffAgainstThePlaceholderElevation) {
  AnalyzerConfig config;
  config.elevation_cutoff = 45.0;
  EXPECT_EQ(analyze(gps_data(20), config).estimates.size(), 40u);
  config.elevation_cutoff = 45.1;
  const AnalysisOutput none = analyze(gps_data(20,
                                               [](int i, GpsObservations& v) {
                                                 if (i >= 10) v.l2w += 10.0;
                                               }),
                                      config);
  EXPECT_TRUE(none.estimates.empty());
  EXPECT_TRUE(none.statistics.empty());
  EXPECT_EQ(counts(none),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"GPSM1C", 1}, {"GPSM2W", 1}}));
}

TEST(Analyze, ARawJumpStartsANewArcWithoutASlip) {
  AnalyzerConfig config;
  config.cp_delta_base = 100.0;  // keep the code-minus-phase test quiet
  const AnalysisOutput out = analyze(gps_data(30,
                                              [](int i, GpsObservations& v) {
                                                if (i >= 15) v.c1c += 10.5;
                                              }),
                                     config);
  EXPECT_TRUE(out.cycle_slips.empty());
  EXPECT_TRUE(out.slip_counts.empty());
  const auto c1c = values_of(out, "GPSM1C");
  ASSERT_EQ(c1c.size(), 30u);
  EXPECT_NEAR(mean_of(c1c, 0, 15), 0.0, 1e-9);  // each arc loses its own mean
  EXPECT_NEAR(mean_of(c1c, 15, 30), 0.0, 1e-9);
  EXPECT_LT(std::abs(c1c[15]), 0.1);
}

TEST(Analyze, ArcsAreNumberedPerSatelliteSignalSkippingDroppedArcs) {
  AnalyzerConfig config;
  config.cp_delta_base = 100.0;
  const auto jump_and_back = [](int i, GpsObservations& v) {
    if (i >= 15 && i < 18) v.c1c += 10.5;  // a 3-sample arc, too short to keep
  };
  const AnalysisOutput out = analyze(gps_data(30, jump_and_back, {"G01", "G02"}), config);
  std::vector<std::int32_t> c1c_arcs;
  std::vector<std::int32_t> c2w_arcs;
  for (std::size_t i = 0; i < out.estimates.size(); ++i) {
    const MpEstimate e = out.estimates.row(i);
    if (e.satellite == sat("G02")) {
      (e.signal == code("C1C") ? c1c_arcs : c2w_arcs).push_back(out.estimates.arc()[i]);
    }
  }
  std::vector<std::int32_t> expected(15, 0);
  expected.resize(27, 1);
  EXPECT_EQ(c1c_arcs, expected);
  EXPECT_EQ(c2w_arcs, std::vector<std::int32_t>(30, 0));
}

TEST(Analyze, ASlipOnTheSecondPhaseBreaksAndCounts) {
  const AnalysisOutput out = analyze(gps_data(30,
                                              [](int i, GpsObservations& v) {
                                                if (i >= 15) v.l2w += 10.0;
                                              }),
                                     AnalyzerConfig{});
  ASSERT_EQ(out.cycle_slips.size(), 2u);
  EXPECT_EQ(out.cycle_slips[0].method, SlipMethod::Gf);
  EXPECT_EQ(calendar_millis(out.cycle_slips[0].time), kFixtureStartMs + 450000);
  EXPECT_EQ(counts(out),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"GPSM1C", 1}, {"GPSM2W", 1}}));
  EXPECT_EQ(out.statistics[0].cycle_slips, 1u);
  const auto c1c = values_of(out, "GPSM1C");
  EXPECT_NEAR(mean_of(c1c, 0, 15), 0.0, 1e-9);
  EXPECT_NEAR(mean_of(c1c, 15, 30), 0.0, 1e-9);

  AnalyzerConfig off;
  off.detect_cycle_slips = false;
  const AnalysisOutput quiet = analyze(gps_data(30,
                                                [](int i, GpsObservations& v) {
                                                  if (i >= 15) v.l2w += 10.0;
                                                }),
                                       off);
  EXPECT_TRUE(quiet.cycle_slips.empty());
  EXPECT_TRUE(quiet.slip_counts.empty());
  EXPECT_EQ(quiet.statistics[0].cycle_slips, 0u);
}

TEST(Analyze, ASlipWhereTheSignalHasNoSampleStillEndsTheArc) {
  // Epoch 15: the receiver flags loss of lock on L1C but wrote no C1C.
  const AnalysisOutput out = analyze(gps_data(30,
                                              [](int i, GpsObservations& v) {
                                                if (i == 15) {
                                                  v.c1c = kNaN;
                                                  v.l1c_lli = 1;
                                                }
                                                if (i >= 15) v.l1c += 3.0;
                                              }),
                                     AnalyzerConfig{});
  EXPECT_EQ(counts(out),
            (std::vector<std::pair<std::string, std::uint32_t>>{{"GPSM1C", 1}, {"GPSM2W", 1}}));
  const auto c1c = values_of(out, "GPSM1C");
  ASSERT_EQ(c1c.size(), 29u);
  EXPECT_NEAR(mean_of(c1c, 0, 15), 0.0, 1e-9);
  EXPECT_NEAR(mean_of(c1c, 15, 29), 0.0, 1e-9);
}

TEST(Analyze, ZeroCodeOrPhaseIsAMissingObservation) {
  const AnalysisOutput out = analyze(gps_data(20,
                                              [](int i, GpsObservations& v) {
                                                if (i == 10) v.c1c = 0.0;
                                                if (i == 11) v.l1c = 0.0;
                                              }),
                                     AnalyzerConfig{});
  EXPECT_TRUE(out.cycle_slips.empty());
  EXPECT_TRUE(out.slip_counts.empty());
  const auto c1c = values_of(out, "GPSM1C");
  ASSERT_EQ(c1c.size(), 18u);
  EXPECT_NEAR(mean_of(c1c, 0, 18), 0.0, 1e-9);  // one arc
  EXPECT_LT(std::abs(c1c[10]), 0.1);
  EXPECT_EQ(values_of(out, "GPSM2W").size(), 19u);  // L1C is its second phase
}

TEST(Analyze, SystemsSelectingNothingStillReportSlips) {
  AnalyzerConfig config;
  config.systems.clear();
  const AnalysisOutput out = analyze(gps_data(3,
                                              [](int i, GpsObservations& v) {
                                                if (i == 1) v.l1c_lli = 1;
                                              }),
                                     config);
  EXPECT_TRUE(out.estimates.empty());
  EXPECT_TRUE(out.statistics.empty());
  ASSERT_EQ(out.cycle_slips.size(), 1u);
  EXPECT_EQ(out.cycle_slips[0].method, SlipMethod::Lli);
}

TEST(Analyze, ThinnedEpochsAreAnalysedAtTheirOwnSpacing) {
  AnalyzerConfig config;
  config.max_epochs = 20;
  const AnalysisOutput out = analyze(gps_data(40), config);  // every other epoch: 60 s steps
  EXPECT_EQ(values_of(out, "GPSM1C").size(), 20u);
  EXPECT_EQ(format_iso(calendar_from_millis(out.estimates.time_ms()[1])),
            "2024-01-15T00:01:00.000Z");
  config.max_epochs = 1;
  EXPECT_TRUE(analyze(gps_data(40), config).estimates.empty());
}

TEST(Analyze, OddSettingsNeverCrashOrHang) {
  const ObsData data = gps_data(40,
                                [](int i, GpsObservations& v) {
                                  if (i >= 20) v.l2w += 7.0;
                                },
                                {"G01", "G02"});
  const double inf = std::numeric_limits<double>::infinity();
  for (const double x : {kNaN, inf, -inf, -1.0, 0.0, 1e300}) {
    AnalyzerConfig config;
    config.bias_window_seconds = x;
    config.ion_delta_base = config.ion_delta_rate = x;
    config.cp_delta_base = config.cp_delta_rate = x;
    config.elevation_cutoff = x;
    config.min_arc_seconds = x;
    config.arc_gap_factor = x;
    const AnalysisOutput out = analyze(data, config);
    for (const MultipathStats& s : out.statistics) {
      EXPECT_GT(s.count, 0u);
      EXPECT_EQ(s.count, values_of(out, s.label.c_str()).size());
    }
  }
  AnalyzerConfig whole_arc;
  whole_arc.bias_window_seconds.reset();
  EXPECT_EQ(analyze(data, whole_arc).estimates.size(), 160u);
}

TEST(Analyze, DegenerateDataGivesEmptyOrPartialResults) {
  EXPECT_TRUE(analyze(ObsFixture().finish(), AnalyzerConfig{}).estimates.empty());
  EXPECT_TRUE(analyze(gps_data(1), AnalyzerConfig{}).estimates.empty());

  ObsFixture same_time;
  const GpsTrack track;
  for (int i = 0; i < 20; ++i) same_time.epoch(0.0).gps("G01", track.at(0.0));
  EXPECT_TRUE(analyze(same_time.finish(), AnalyzerConfig{}).estimates.empty());

  ObsFixture decades_apart;  // two 420 s arcs 30 years apart
  for (int i = 0; i < 30; ++i) {
    const double t = 30.0 * i + (i >= 15 ? 1e9 : 0.0);
    decades_apart.epoch(t).gps("G01", track.at(t, pattern(i)));
  }
  const auto c1c = values_of(analyze(decades_apart.finish(), AnalyzerConfig{}), "GPSM1C");
  ASSERT_EQ(c1c.size(), 30u);
  EXPECT_NEAR(mean_of(c1c, 0, 15), 0.0, 1e-9);

  const AnalysisOutput no_phases =
      analyze(gps_data(20, [](int, GpsObservations& v) { v.l2w = kNaN; }), AnalyzerConfig{});
  EXPECT_TRUE(no_phases.estimates.empty());

  ObsFixture invalid_times;  // month 13: every epoch takes the same "now"
  for (int i = 0; i < 20; ++i)
    invalid_times.epoch(Epoch{2024, 13, 1, 0, 0, 0.0}).gps("G01", track.at(30.0 * i));
  EXPECT_TRUE(analyze(invalid_times.finish(), AnalyzerConfig{}).estimates.empty());
}

}  // namespace
}  // namespace skyloam
