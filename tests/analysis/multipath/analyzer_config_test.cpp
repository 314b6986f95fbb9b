#include "analysis/multipath/analyzer_config.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/signal_frequencies.hpp"
#include "obs_fixture.hpp"

namespace skyloam {
namespace {

using testing::code;
using testing::ObsFixture;

std::string filter_message(std::string_view name, std::vector<std::string> entries) {
  const auto result = parse_code_filter(name, entries);
  EXPECT_FALSE(result.has_value());
  return result ? std::string() : result.error().display();
}

TEST(AnalyzerConfig, DefaultsMatchTheDocumentedSettings) {
  const AnalyzerConfig c;
  EXPECT_EQ(c.bias_window_seconds, 1500.0);
  EXPECT_FALSE(c.max_epochs);
  EXPECT_EQ(c.systems, (std::vector<GnssSystem>{GnssSystem::GPS, GnssSystem::GLONASS,
                                                GnssSystem::Galileo, GnssSystem::BeiDou}));
  EXPECT_EQ(c.ion_delta_base, 0.10);
  EXPECT_EQ(c.ion_delta_rate, 0.003);
  EXPECT_EQ(c.cp_delta_base, 5.0);
  EXPECT_EQ(c.cp_delta_rate, 0.10);
  EXPECT_EQ(c.slip_max_gap_seconds, 300.0);
  EXPECT_EQ(c.elevation_cutoff, 10.0);
  EXPECT_EQ(c.min_arc_seconds, 300.0);
  EXPECT_EQ(c.arc_gap_factor, 5.0);
  EXPECT_EQ(c.mp_jump_threshold, 10.0);
  EXPECT_TRUE(c.use_lli && c.attach_snr && c.use_weighted_rms && c.detect_cycle_slips);
}

TEST(ParseSystems, FirstLetterCountsUnknownsSkippedDuplicatesKept) {
  const std::vector<std::string> texts = {"r", "GLONASS", "X", "", "galileo", "G", "ärger"};
  EXPECT_EQ(parse_systems(texts), (std::vector<GnssSystem>{GnssSystem::GLONASS, GnssSystem::GPS,
                                                           GnssSystem::GPS, GnssSystem::GPS}));
  const std::vector<std::string> all = {"c", "E", "i", "J", "m", "S"};
  EXPECT_EQ(parse_systems(all),
            (std::vector<GnssSystem>{GnssSystem::BeiDou, GnssSystem::Galileo, GnssSystem::NavIC,
                                     GnssSystem::QZSS, GnssSystem::Mixed, GnssSystem::SBAS}));
}

TEST(ParseCodeFilter, NormalisesEntries) {
  const std::vector<std::string> entries = {"  gc1c\t", "c1c", "L2w", "\u3000s5q "};
  const auto result = parse_code_filter("include_codes", entries);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, (std::vector<std::string>{"GC1C", "C1C", "L2W", "S5Q"}));
}

TEST(ParseCodeFilter, ReportsTheFirstBadEntryAsGiven) {
  EXPECT_EQ(filter_message("include_codes", {"C1C", " C1", "Z1C"}),
            "include_codes entry ' C1' must be a 3-char code ('C1C') or system+code ('GC1C')");
  EXPECT_EQ(filter_message("include_codes", {"GC1CX"}),
            "include_codes entry 'GC1CX' must be a 3-char code ('C1C') or system+code ('GC1C')");
  EXPECT_EQ(filter_message("include_codes", {"z1c"}),
            "include_codes entry 'z1c' is not a valid signal code");
  EXPECT_EQ(filter_message("include_codes", {"CXC"}),
            "include_codes entry 'CXC' is not a valid signal code");
  // The code part is checked before the prefix.
  EXPECT_EQ(filter_message("include_codes", {"X1C1"}),
            "include_codes entry 'X1C1' is not a valid signal code");
  EXPECT_EQ(filter_message("exclude_codes", {"xC1C"}),
            "exclude_codes entry 'xC1C' has an unknown system prefix");
  // A two-byte first character leaves a code part that does not parse.
  EXPECT_EQ(filter_message("exclude_codes", {"\xC3\xA9"
                                             "1C"}),
            "exclude_codes entry '\xC3\xA9"
            "1C' is not a valid signal code");
  const std::vector<std::string> none;
  EXPECT_TRUE(parse_code_filter("include_codes", none)->empty());
}

TEST(CodeFilter, ShortAndLongEntriesAndExcludeWins) {
  AnalyzerConfig c;
  EXPECT_TRUE(passes_code_filter(c, GnssSystem::GPS, code("C1C")));
  c.include_codes = {"GC1C"};
  EXPECT_TRUE(passes_code_filter(c, GnssSystem::GPS, code("C1C")));
  EXPECT_FALSE(passes_code_filter(c, GnssSystem::Galileo, code("C1C")));
  EXPECT_FALSE(passes_code_filter(c, GnssSystem::GPS, code("C2W")));
  c.include_codes = {"C1C"};
  EXPECT_TRUE(passes_code_filter(c, GnssSystem::Galileo, code("C1C")));
  c.exclude_codes = {"C1C"};
  EXPECT_FALSE(passes_code_filter(c, GnssSystem::GPS, code("C1C")));
  c.include_codes.clear();
  c.exclude_codes = {"EC1C", "L1C"};  // a phase entry never matches a pseudorange
  EXPECT_TRUE(passes_code_filter(c, GnssSystem::GPS, code("C1C")));
  EXPECT_FALSE(passes_code_filter(c, GnssSystem::Galileo, code("C1C")));
}

ObsData epochs_only(int count) {
  ObsFixture f;
  for (int i = 0; i < count; ++i) f.epoch(30.0 * i).sat("G01").obs("C1C", 2e7);
  return f.finish();
}

std::vector<std::size_t> picked(const ObsData& data, std::optional<std::uint64_t> limit) {
  std::vector<std::size_t> positions;
  for (const ObsEpoch* e : thin_epochs(data, limit)) {
    positions.push_back(static_cast<std::size_t>(e - data.epochs().data()));
  }
  return positions;
}

TEST(ThinEpochs, StepIsTheCeilingOfCountOverLimit) {
  const ObsData data = epochs_only(10);
  const std::vector<std::size_t> all = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(picked(data, std::nullopt), all);
  EXPECT_EQ(picked(data, 0), all);
  EXPECT_EQ(picked(data, 10), all);
  EXPECT_EQ(picked(data, 3), (std::vector<std::size_t>{0, 4, 8}));
  EXPECT_EQ(picked(data, 9), (std::vector<std::size_t>{0, 2, 4, 6, 8}));
  EXPECT_EQ(picked(data, 1), (std::vector<std::size_t>{0}));
  EXPECT_TRUE(picked(epochs_only(0), 5).empty());
}

TEST(EpochTimes, ValidEpochsConvertAndInvalidOnesShareOneNow) {
  ObsFixture f;
  f.epoch(30.25).sat("G01");
  f.epoch(Epoch{2024, 13, 1, 0, 0, 0.5}).sat("G01");
  f.epoch(Epoch{2016, 12, 31, 23, 59, 60.0}).sat("G01");
  f.epoch(Epoch{2024, 1, 15, 0, 0, -0.5}).sat("G01");
  const ObsData data = f.finish();
  const auto epochs = thin_epochs(data, std::nullopt);
  const CalendarTime now{19000, 100, 0};
  const EpochTimes times(epochs, now);
  EXPECT_EQ(times.millis(0), testing::kFixtureStartMs + 30250);
  EXPECT_EQ(times.calendar(1).days, 19000);
  EXPECT_EQ(times.calendar(1).seconds_of_day, 100u);
  EXPECT_EQ(times.calendar(1).nanos, 500000000u);
  EXPECT_EQ(times.millis(2), 19000LL * 86400000 + 100000);
  EXPECT_EQ(times.millis(3), testing::kFixtureStartMs + 500);  // floor clamped to 0, plus 0.5

  const EpochTimes from_clock(epochs);  // one reading for both invalid epochs
  EXPECT_EQ(from_clock.millis(1) - 500, from_clock.millis(2));
}

TEST(GlonassChannel, HeaderTableThenDefaultTableThenZero) {
  RinexObsHeader header;
  header.glonass_slots = {{1, -7}, {30, 6}};
  EXPECT_EQ(glonass_channel(1, header), -7);
  EXPECT_EQ(glonass_channel(30, header), 6);
  EXPECT_EQ(glonass_channel(2, header), -4);
  EXPECT_EQ(glonass_channel(10, header), -7);
  EXPECT_EQ(glonass_channel(24, header), 2);
  EXPECT_EQ(glonass_channel(25, header), 0);
  EXPECT_EQ(glonass_channel(0, header), 0);

  const BandFrequencies r01(testing::sat("R01"), header);
  EXPECT_EQ(r01.frequency(1), 1602000000.0 - 7 * 562500.0);
  EXPECT_EQ(r01.frequency(3), 1202025000.0);
  EXPECT_FALSE(r01.has(5));
  const BandFrequencies r25(testing::sat("R25"), header);
  EXPECT_EQ(r25.frequency(2), 1246000000.0);
}

TEST(SecondBands, SkipOwnBandMissingFrequenciesAndNearRatios) {
  const RinexObsHeader header;
  const BandFrequencies gps(testing::sat("G01"), header);
  const auto bands = [&](GnssSystem system, const BandFrequencies& f, std::uint8_t band) {
    const SecondBands s = second_bands(system, band, f);
    return std::vector<std::uint8_t>(s.list().begin(), s.list().end());
  };
  EXPECT_EQ(bands(GnssSystem::GPS, gps, 5), (std::vector<std::uint8_t>{1}));  // L2/L5 too close
  EXPECT_EQ(bands(GnssSystem::GPS, gps, 1), (std::vector<std::uint8_t>{2, 5}));
  EXPECT_TRUE(bands(GnssSystem::GPS, gps, 3).empty());
  const BandFrequencies galileo(testing::sat("E11"), header);
  EXPECT_EQ(bands(GnssSystem::Galileo, galileo, 1), (std::vector<std::uint8_t>{5, 7, 8, 6}));
  EXPECT_EQ(bands(GnssSystem::Galileo, galileo, 5), (std::vector<std::uint8_t>{1, 6}));
  const BandFrequencies mixed(Satellite{GnssSystem::Mixed, 1}, header);
  EXPECT_TRUE(bands(GnssSystem::Mixed, mixed, 1).empty());
}

}  // namespace
}  // namespace skyloam
