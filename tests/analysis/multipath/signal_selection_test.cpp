#include "analysis/multipath/signal_selection.hpp"

#include <gtest/gtest.h>

#include "analysis/multipath/analysed_epochs.hpp"
#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::ObsFixture;
using testing::sat;

struct Selected {
  ObsData data;
  std::vector<const ObsEpoch*> epochs;
  std::unique_ptr<ObservationCatalog> catalog;
  SignalSelection selection;

  Selected(ObsData d, const AnalyzerConfig& config) : data(std::move(d)) {
    epochs = thin_epochs(data, std::nullopt);
    catalog = std::make_unique<ObservationCatalog>(epochs, data);
    selection = select_signals(*catalog, config);
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const SignalPair& p : selection.pairs) {
      out.push_back(to_string(p.satellite) + ":" + to_string(p.code) + "/" + to_string(p.phase1) +
                    "/" + to_string(p.phase2) + "/" + (p.snr_code ? to_string(*p.snr_code) : "-"));
    }
    return out;
  }
};

// Every satellite gets the same codes with the same value in each epoch.
ObsData uniform(std::initializer_list<const char*> satellites,
                std::initializer_list<const char*> codes, int epochs = 1,
                RinexObsHeader header = {}) {
  ObsFixture f(std::move(header));
  for (int e = 0; e < epochs; ++e) {
    f.epoch(30.0 * e);
    for (const char* s : satellites) {
      f.sat(s);
      for (const char* c : codes) f.obs(c, 1e7);
    }
  }
  return f.finish();
}

TEST(SelectSignals, SatelliteOrderThenBandThenAttribute) {
  const Selected s(
      uniform({"G10", "E05", "G02", "G100"}, {"C2W", "L2W", "C1W", "C1C", "L1C", "S1C"}),
      AnalyzerConfig{});
  EXPECT_EQ(s.names(), (std::vector<std::string>{
                           "G02:C1C/L1C/L2W/S1C", "G02:C1W/L1C/L2W/S1C", "G02:C2W/L2W/L1C/-",
                           "G10:C1C/L1C/L2W/S1C", "G10:C1W/L1C/L2W/S1C", "G10:C2W/L2W/L1C/-",
                           "G100:C1C/L1C/L2W/S1C", "G100:C1W/L1C/L2W/S1C",
                           "G100:C2W/L2W/L1C/-"}));  // E05 has no Galileo band 2
  ASSERT_EQ(s.selection.find(sat("G10"), code("C1W")), std::optional<std::size_t>(4));
  EXPECT_FALSE(s.selection.find(sat("G10"), code("C5Q")));
  EXPECT_FALSE(s.selection.find(sat("G03"), code("C1C")));
  const SignalPair& pair = s.selection.pairs[0];
  EXPECT_EQ(pair.wavelength1, 299792458.0 / 1575420000.0);
  EXPECT_EQ(pair.wavelength2, 299792458.0 / 1227600000.0);
  EXPECT_EQ(pair.gamma, (1575420000.0 * 1575420000.0) / (1227600000.0 * 1227600000.0));
  EXPECT_EQ(s.selection.first_pair, (std::vector<std::uint32_t>{0, 0, 3, 6, 9}));
}

TEST(SelectSignals, FirstPhasePrefersAttributeThenCountThenSmallerAttribute) {
  ObsFixture f;
  for (int e = 0; e < 4; ++e) {
    f.epoch(30.0 * e).sat("G01").obs("C1C", 1e7).obs("C1P", 1e7).obs("C1Y", 1e7).obs("L2W", 1e7);
    f.obs("L1W", 1e7).obs("L1X", 1e7);
    if (e < 2) f.obs("L1C", 1e7);  // seen less often, still preferred by C1C
  }
  const Selected s(f.finish(), AnalyzerConfig{});
  EXPECT_EQ(s.names(), (std::vector<std::string>{"G01:C1C/L1C/L2W/-", "G01:C1P/L1W/L2W/-",
                                                 "G01:C1Y/L1W/L2W/-"}));
}

TEST(SelectSignals, SecondPhaseFollowsThePriorityListThenCountThenAttribute) {
  ObsFixture f;
  for (int e = 0; e < 3; ++e) {
    f.epoch(30.0 * e).sat("G01").obs("C5Q", 1e7).obs("L5Q", 1e7).obs("L1C", 1e7);
    f.sat("G02").obs("C1C", 1e7).obs("L1C", 1e7).obs("L2W", 1e7);
    if (e == 0) f.obs("L2L", 1e7);
    if (e > 0) f.obs("L2X", 1e7);
    f.sat("G03").obs("C1C", 1e7).obs("L1C", 1e7).obs("L2W", 1e7).obs("L2L", 1e7);
  }
  const Selected s(f.finish(), AnalyzerConfig{});
  // G01: band 1 comes first in the GPS list; band 5 is the signal's own band.
  // G02: L2W is in the most epochs. G03: a tie goes to the smaller attribute.
  EXPECT_EQ(s.names(), (std::vector<std::string>{"G01:C5Q/L5Q/L1C/-", "G02:C1C/L1C/L2W/-",
                                                 "G03:C1C/L1C/L2L/-"}));
}

TEST(SelectSignals, DropsSignalsWithoutFrequencyOrPhases) {
  const Selected only_one_band(uniform({"G01"}, {"C1C", "L1C"}), AnalyzerConfig{});
  EXPECT_TRUE(only_one_band.selection.pairs.empty());
  const Selected no_own_phase(uniform({"G01"}, {"C1C", "L2W", "L5Q"}), AnalyzerConfig{});
  EXPECT_TRUE(no_own_phase.selection.pairs.empty());
  AnalyzerConfig gps_and_mixed;
  gps_and_mixed.systems = {GnssSystem::GPS, GnssSystem::Mixed};
  const Selected no_frequency(uniform({"G01", "M01"}, {"C3X", "L3X", "L1C", "C1C"}), gps_and_mixed);
  EXPECT_TRUE(no_frequency.selection.pairs.empty());
}

TEST(SelectSignals, SnrCodeSameAttributeElseSmallestOnTheBand) {
  const Selected s(uniform({"G01"}, {"C1C", "C1W", "C2W", "L1C", "L2W", "S1W", "S1X", "S1C"}),
                   AnalyzerConfig{});
  EXPECT_EQ(s.names(), (std::vector<std::string>{"G01:C1C/L1C/L2W/S1C", "G01:C1W/L1C/L2W/S1W",
                                                 "G01:C2W/L2W/L1C/-"}));
  AnalyzerConfig without_snr;
  without_snr.attach_snr = false;
  const Selected none(uniform({"G01"}, {"C1C", "L1C", "L2W", "S1C"}), without_snr);
  EXPECT_EQ(none.names(), (std::vector<std::string>{"G01:C1C/L1C/L2W/-"}));
}

TEST(SelectSignals, SystemsAndCodeFiltersRestrictTheChoice) {
  AnalyzerConfig config;
  config.systems = {GnssSystem::GLONASS};
  EXPECT_EQ(Selected(uniform({"E05", "G01", "R01"}, {"C1C", "L1C", "L2C"}), config).names(),
            (std::vector<std::string>{"R01:C1C/L1C/L2C/-"}));
  config = AnalyzerConfig{};
  config.include_codes = {"GC1C", "C5Q"};
  EXPECT_EQ(
      Selected(uniform({"E05", "G01"}, {"C1C", "L1C", "C2C", "L2C", "C5Q", "L5Q"}), config).names(),
      (std::vector<std::string>{"E05:C5Q/L5Q/L1C/-", "G01:C1C/L1C/L2C/-", "G01:C5Q/L5Q/L1C/-"}));
  config.exclude_codes = {"C5Q"};
  config.include_codes = {"C5Q"};
  EXPECT_TRUE(Selected(uniform({"G01"}, {"C5Q", "L5Q", "L1C"}), config).names().empty());
  config = AnalyzerConfig{};
  config.systems.clear();
  EXPECT_TRUE(Selected(uniform({"G01"}, {"C1C", "L1C", "L2W"}), config).names().empty());
}

TEST(SelectSignals, GlonassWavelengthsUseTheSlotChannel) {
  RinexObsHeader header;
  header.glonass_slots = {{3, -7}};
  const Selected s(uniform({"R03", "R25"}, {"C1C", "L1C", "L2C"}, 1, header), AnalyzerConfig{});
  ASSERT_EQ(s.selection.pairs.size(), 2u);
  EXPECT_EQ(s.selection.pairs[0].wavelength1, 299792458.0 / (1602000000.0 - 7 * 562500.0));
  EXPECT_EQ(s.selection.pairs[0].wavelength2, 299792458.0 / (1246000000.0 - 7 * 437500.0));
  EXPECT_EQ(s.selection.pairs[1].wavelength1, 299792458.0 / 1602000000.0);  // slot 25: channel 0
}

TEST(SecondPhase, IsTheSameRuleForAnyBand) {
  const Selected s(uniform({"C07"}, {"L2I", "L7I", "L6I", "C1P", "L1P"}), AnalyzerConfig{});
  // B1C and B1I lie too close for a combination: band 1 skips band 2.
  EXPECT_EQ(second_phase(*s.catalog, 0, 1), code("L7I"));
  EXPECT_EQ(second_phase(*s.catalog, 0, 2), code("L7I"));
  EXPECT_EQ(second_phase(*s.catalog, 0, 7), code("L2I"));
  EXPECT_EQ(second_phase(*s.catalog, 0, 4), std::nullopt);  // band 4 has no frequency
}

}  // namespace
}  // namespace skyloam
