#include "analysis/advanced/snr_wavelet_analysis.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "analysis/advanced/worker_pool.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {
namespace {

// SNR (dB-Hz) of a satellite at epoch i; NaN: no entry in that epoch.
using Profile = std::function<double(std::size_t)>;

struct Signal {
  std::string satellite;
  std::string code;
  Profile value;
};

Epoch epoch_at(double seconds) {
  const auto whole = static_cast<std::uint32_t>(seconds);
  return Epoch{2024, 3, 1, whole / 3600, (whole / 60) % 60,
               static_cast<double>(whole % 60) + (seconds - std::floor(seconds))};
}

// `epochs` epochs `step` seconds apart (or all at one time when step is 0).
ObsData synthetic(std::size_t epochs, double step, const std::vector<Signal>& signals,
                  RinexObsHeader header = {}) {
  ObsDataBuilder builder(std::move(header));
  std::map<std::string, std::vector<const Signal*>> by_satellite;
  for (const Signal& s : signals) by_satellite[s.satellite].push_back(&s);
  for (std::size_t i = 0; i < epochs; ++i) {
    for (const auto& [satellite, own] : by_satellite) {
      bool begun = false;
      for (const Signal* s : own) {
        const double v = s->value(i);
        if (std::isnan(v)) continue;
        if (!begun) builder.begin_satellite(*parse_satellite(satellite));
        begun = true;
        builder.add(builder.intern(*parse_obs_code(s->code)), v);
      }
    }
    builder.commit_epoch(epoch_at(static_cast<double>(i) * step), 0, std::nullopt);
  }
  return std::move(builder).finish();
}

Profile wavy(double mean = 45.0) {
  return [mean](std::size_t i) {
    const double t = static_cast<double>(i);
    return mean + 3.0 * std::sin(t / 40.0) + 0.5 * std::sin(t / 6.0) + 4.0 * std::cos(t / 700.0);
  };
}
Profile constant(double v) { return [v](std::size_t) { return v; }; }
Profile only_first(std::size_t n, Profile inner) {
  return [n, inner](std::size_t i) { return i < n ? inner(i) : std::nan(""); };
}

std::vector<std::string> satellites_of(const SnrWaveletAnalysis& analysis) {
  std::vector<std::string> out;
  for (const SatelliteSnrResult& r : analysis.satellites) {
    out.push_back(to_string(r.satellite) + ":" + to_string(r.code));
  }
  return out;
}

TEST(AnalyzeSnrWavelets, ListsSatellitesWithSnrInOrderAndPicksTheirCode) {
  const ObsData obs = synthetic(
      400, 30.0,
      {{"G05", "S2W", wavy(40.0)},
       {"G05", "S1C", wavy()},
       {"E11", "S7Q", wavy()},
       {"E11", "S5Q", wavy()},
       {"C20", "S7I", wavy()},
       {"C20", "S2I", wavy()},
       {"G02", "S1W", wavy()},
       {"G02", "S1C", wavy()},
       {"R03", "L1C", constant(1.0e8)},                // no SNR code
       {"J01", "S1C", only_first(39, wavy())},         // 39 samples
       {"G10", "S1C", constant(0.0)},                  // chosen code never positive
       {"G10", "S2W", wavy()},
       {"G12", "S1C", [](std::size_t i) { return i % 2 == 0 ? 0.0 : 44.0; }}});
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs);
  ASSERT_TRUE(analysis.has_value());
  EXPECT_EQ(satellites_of(*analysis),
            (std::vector<std::string>{"C20:S2I", "E11:S5Q", "G02:S1C", "G05:S1C", "G12:S1C"}));
  EXPECT_EQ(analysis->interval, 30.0);
  EXPECT_EQ(analysis->bands, period_bands_for(30.0));
  // Zero values are not samples: G12 keeps its 200 positive ones.
  EXPECT_EQ(analysis->satellites[4].series.t.size(), 200u);
}

TEST(AnalyzeSnrWavelets, RequestedSatellitesKeepTheirOrder) {
  const ObsData obs = synthetic(100, 1.0, {{"G05", "S1C", wavy()}, {"C20", "S2I", wavy()}});
  SnrWaveletRequest request;
  request.satellites = std::vector<std::string>{"G5", "G99", " C 20 "};
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs, request);
  ASSERT_TRUE(analysis.has_value());
  EXPECT_EQ(satellites_of(*analysis), (std::vector<std::string>{"G05:S1C", "C20:S2I"}));

  request.satellites = std::vector<std::string>{"G99"};
  EXPECT_TRUE(analyze_snr_wavelets(obs, request)->satellites.empty());

  request.satellites = std::vector<std::string>{"G05", "X1", "Q"};
  const Result<SnrWaveletAnalysis> refused = analyze_snr_wavelets(obs, request);
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().display(), "Invalid satellite id 'X1'");
}

TEST(AnalyzeSnrWavelets, IntervalAndBandsDefaults) {
  const ObsData one_hertz = synthetic(60, 1.0, {{"G01", "S1C", wavy()}});
  const Result<SnrWaveletAnalysis> fine = analyze_snr_wavelets(one_hertz);
  EXPECT_EQ(fine->interval, 1.0);
  EXPECT_EQ(fine->bands, (std::vector<PeriodBand>{{2, 20}, {20, 40}, {40, 80}, {80, 120}}));

  SnrWaveletRequest request;
  request.interval = 10.0;
  request.bands = std::vector<PeriodBand>{{5.0, 9.0}};
  const Result<SnrWaveletAnalysis> given = analyze_snr_wavelets(one_hertz, request);
  EXPECT_EQ(given->interval, 10.0);
  EXPECT_EQ(given->bands, (std::vector<PeriodBand>{{5.0, 9.0}}));
  EXPECT_EQ(given->satellites[0].series.bp_power.rows(), 1u);

  RinexObsHeader header;
  header.declared_interval = 15.0;
  EXPECT_EQ(analyze_snr_wavelets(synthetic(1, 1.0, {}, header))->interval, 15.0);
  EXPECT_EQ(analyze_snr_wavelets(synthetic(0, 1.0, {}))->interval, 30.0);
}

TEST(AnalyzeSnrWavelets, ResidualsBandPowerAndBins) {
  const ObsData obs = synthetic(50, 1.0, {{"G07", "S1C", wavy()}});
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs);
  ASSERT_EQ(analysis->satellites.size(), 1u);
  const SnrSeriesResult& r = analysis->satellites[0].series;
  EXPECT_EQ(r.t0, unix_seconds(epoch_at(0.0)));
  ASSERT_EQ(r.t.size(), 50u);
  EXPECT_EQ(r.t[49], 49.0);
  EXPECT_EQ(r.orders.size(), 1u);
  EXPECT_GE(r.orders[0], 2u);
  // One arc of 50 samples 1 s apart: 50 bins of one sample each.
  EXPECT_EQ(r.bp_t, r.t);
  EXPECT_EQ(r.bp_power.rows(), 4u);
  EXPECT_EQ(r.bp_power.columns(), 50u);
  EXPECT_TRUE(analysis->satellites[0].has_band_power());

  // A constant SNR detrends to (almost) nothing in linear amplitude.
  const Result<SnrWaveletAnalysis> flat = analyze_snr_wavelets(synthetic(50, 1.0, {{"G07", "S1C", constant(40.0)}}));
  for (const double v : flat->satellites[0].series.v) EXPECT_NEAR(v, 0.0, 1e-9);
}

TEST(AnalyzeSnrWavelets, ShortArcsHaveResidualsButNoBandPower) {
  // Three arcs of 30 samples separated by 10-minute gaps (30 s sampling).
  const Profile gappy = [](std::size_t i) { return (i / 30) % 2 == 0 ? 45.0 + std::sin(i / 5.0) : std::nan(""); };
  const ObsData obs = synthetic(150, 30.0, {{"E01", "S1C", gappy}});
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs);
  ASSERT_EQ(analysis->satellites.size(), 1u);
  const SatelliteSnrResult& r = analysis->satellites[0];
  EXPECT_EQ(r.series.t.size(), 90u);
  EXPECT_EQ(r.series.orders.size(), 3u);
  EXPECT_FALSE(r.has_band_power());
  EXPECT_EQ(r.series.bp_power.columns(), 0u);
}

TEST(AnalyzeSnrWavelets, LongSeriesAreThinnedAndBinned) {
  const ObsData obs = synthetic(20001, 1.0, {{"G01", "S1C", wavy()}});
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs);
  const SnrSeriesResult& r = analysis->satellites[0].series;
  ASSERT_EQ(r.t.size(), 10001u);  // every second sample
  EXPECT_EQ(r.t[1], 2.0);
  EXPECT_EQ(r.bp_t.size(), 96u);
  EXPECT_EQ(r.bp_power.columns(), 96u);
}

TEST(AnalyzeSnrWavelets, TimesThatDoNotAdvanceGiveNoBandPowerAndNoFailure) {
  // Every epoch at the same instant: the median step is 0, no transform exists.
  const ObsData obs = synthetic(60, 0.0, {{"G01", "S1C", wavy()}});
  const Result<SnrWaveletAnalysis> analysis = analyze_snr_wavelets(obs);
  ASSERT_TRUE(analysis.has_value());
  ASSERT_EQ(analysis->satellites.size(), 1u);
  EXPECT_EQ(analysis->satellites[0].series.t.size(), 60u);
  EXPECT_FALSE(analysis->satellites[0].has_band_power());
}

TEST(AnalyzeSnrWavelets, RefusesMoreBandsThanTheResultLimit) {
  const ObsData obs = synthetic(50, 1.0, {{"G01", "S1C", wavy()}});
  SnrWaveletRequest request;
  request.bands = std::vector<PeriodBand>(1678, PeriodBand{2.0, 20.0});
  EXPECT_FALSE(analyze_snr_wavelets(obs, request).has_value());
  request.bands = std::vector<PeriodBand>(1677, PeriodBand{2.0, 20.0});
  EXPECT_TRUE(analyze_snr_wavelets(obs, request).has_value());
}

bool same_bits(std::span<const double> a, std::span<const double> b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

bool identical(const SnrWaveletAnalysis& a, const SnrWaveletAnalysis& b) {
  if (a.satellites.size() != b.satellites.size()) return false;
  for (std::size_t i = 0; i < a.satellites.size(); ++i) {
    const SnrSeriesResult& x = a.satellites[i].series;
    const SnrSeriesResult& y = b.satellites[i].series;
    if (a.satellites[i].satellite != b.satellites[i].satellite || x.orders != y.orders ||
        !same_bits(x.v, y.v) || !same_bits(x.t, y.t) || !same_bits(x.bp_t, y.bp_t) ||
        !same_bits(x.bp_power.values(), y.bp_power.values())) {
      return false;
    }
  }
  return true;
}

TEST(AnalyzeSnrWavelets, RepeatedRunsAreIdenticalWhateverTheWorkers) {
  std::vector<Signal> signals;
  for (int prn = 1; prn <= 12; ++prn) {
    const std::string id = to_string(Satellite{GnssSystem::GPS, static_cast<std::uint32_t>(prn)});
    signals.push_back({id, "S1C", [prn](std::size_t i) {
                         return 40.0 + prn * 0.3 + 4.0 * std::sin(i / (10.0 + prn)) + std::cos(i * 0.37 * prn);
                       }});
  }
  const ObsData obs = synthetic(1500, 1.0, signals);
  const Result<SnrWaveletAnalysis> first = analyze_snr_wavelets(obs);
  const Result<SnrWaveletAnalysis> second = analyze_snr_wavelets(obs);
  Result<SnrWaveletAnalysis> serial = fail(GnssError::message("not run"));
  with_worker_limit(1, [&] { serial = analyze_snr_wavelets(obs); });
  ASSERT_TRUE(first.has_value() && second.has_value() && serial.has_value());
  ASSERT_EQ(first->satellites.size(), 12u);
  EXPECT_TRUE(first->satellites[0].has_band_power());
  EXPECT_TRUE(identical(*first, *second));
  EXPECT_TRUE(identical(*first, *serial));
}

}  // namespace
}  // namespace skyloam
