#include <gtest/gtest.h>

#include <cmath>

#include "rinex/obs_reader/obs_queries.hpp"
#include "rinex_text.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::field;
using testing::header_line;
using testing::read_text;
using testing::version_line;

// GPS with three codes, GLONASS with two.
std::string rinex3_header() {
  return version_line("3.04") + header_line("G    3 C1C L1C S1C", "SYS / # / OBS TYPES") +
         header_line("R    2 C1C S1C", "SYS / # / OBS TYPES") + end_of_header();
}

std::string epoch_line(std::string_view time, int flag, int records, std::string_view tail = "") {
  char text[64];
  std::snprintf(text, sizeof text, "> %s  %d%3d", std::string(time).c_str(), flag, records);
  return std::string(text) + std::string(tail) + "\n";
}

const ObsRecord* record_of(const ObsData& data, const SatelliteEntry& entry, const char* code) {
  for (const ObsRecord& record : entry.observations()) {
    if (to_string(data.code(record.code)) == code) return &record;
  }
  return nullptr;
}

TEST(Rinex3Body, EpochFieldsRecordsAndIndicators) {
  std::string text = rinex3_header();
  text += epoch_line("2024 01 15 00 00 30.0000000", 0, 3, "       0.000123456789");
  text += "G01" + field("40123456.789", '7') + "\n";  // ends after the LLI
  text += "G05" + field("20000000.125", ' ', '5') + field("", '1', '2') + field("45.250") +
          field("99") + "\r\r\n";                    // fourth field has no code
  text += "R07" + field("abc") + field("-0.000") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data) << data.error().display();
  ASSERT_EQ(data->epochs().size(), 1u);
  const ObsEpoch& epoch = data->epochs()[0];
  EXPECT_EQ(epoch.time.year, 2024);
  EXPECT_EQ(epoch.time.minute, 0u);
  EXPECT_EQ(epoch.time.second, 30.0);
  EXPECT_EQ(epoch.flag, 0);
  EXPECT_EQ(epoch.clock_offset, 0.000123456789);
  ASSERT_EQ(epoch.entry_count, 3u);

  const SatelliteEntry& g01 = epoch.satellites()[0];
  ASSERT_EQ(g01.record_count, 1u);
  EXPECT_EQ(g01.records[0].value, 40123456.789);
  EXPECT_EQ(g01.records[0].lli, 7);
  EXPECT_EQ(g01.records[0].ssi, kNoIndicator);

  const SatelliteEntry& g05 = epoch.satellites()[1];
  ASSERT_EQ(g05.record_count, 2u);  // blank value with indicator digits stores nothing
  EXPECT_EQ(record_of(*data, g05, "C1C")->ssi, 5);
  EXPECT_EQ(record_of(*data, g05, "S1C")->value, 45.25);
  EXPECT_EQ(record_of(*data, g05, "L1C"), nullptr);

  const SatelliteEntry& r07 = epoch.satellites()[2];
  ASSERT_EQ(r07.record_count, 1u);
  EXPECT_TRUE(std::signbit(r07.records[0].value));
}

TEST(Rinex3Body, ShortEpochLineFailsWithItsFileLineIndex) {
  std::string text = rinex3_header();  // lines 0 to 3
  text += epoch_line("2024 01 15 00 00 30.0000000", 0, 0);
  text += "> 2024 01 15 00 01 00.00000  0\n";  // 31 bytes, line 5
  const auto data = read_text(text);
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().display(), "RINEX parsing error at line 5: Epoch line too short");
}

TEST(Rinex3Body, EventEpochsAreDroppedWithTheirRecords) {
  std::string text = rinex3_header();
  text += epoch_line("2024 01 15 00 00 00.0000000", 4, 2);
  text += header_line("G01 looks like a satellite", "COMMENT");
  text += "> 2024 01 15 00 00 15.0000000  0  1 consumed as a record\n";
  text += epoch_line("2024 01 15 00 00 30.0000000", 6, 1);
  text += "G02" + field("1.0") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->epochs().size(), 1u);
  EXPECT_EQ(data->epochs()[0].flag, 6);
  EXPECT_EQ(data->epochs()[0].satellites()[0].satellite, (Satellite{GnssSystem::GPS, 2}));
}

TEST(Rinex3Body, FallbacksAndPassedOverLines) {
  std::string text = rinex3_header();
  text += "stray line before any epoch\n";
  text += ">                              0  4\n";  // blank date
  text += "J01" + field("1.0") + "\n";              // no QZSS list
  text += "XX\n";
  text += "G1x" + field("1.0") + "\n";               // not a satellite
  text += "G 3" + field("2.0") + field("") + field("") + field("") + field("") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->epochs().size(), 1u);
  const ObsEpoch& epoch = data->epochs()[0];
  EXPECT_EQ(epoch.time.year, 2000);
  EXPECT_EQ(epoch.time.month, 1u);
  EXPECT_EQ(epoch.time.day, 1u);
  EXPECT_FALSE(epoch.clock_offset);
  ASSERT_EQ(epoch.entry_count, 1u);
  EXPECT_EQ(epoch.satellites()[0].satellite, (Satellite{GnssSystem::GPS, 3}));
  EXPECT_EQ(epoch.satellites()[0].record_count, 1u);  // fields beyond the list are ignored
}

TEST(Rinex3Body, SatelliteWithoutValuesAndRepeatedSatellite) {
  std::string text = rinex3_header();
  text += epoch_line("2024 01 15 00 00 00.0000000", 0, 3);
  text += "G07\n";                               // known satellite, no value: kept, empty
  text += "G09" + field("1.0") + "\n";
  text += "G09" + field("") + field("3.0") + "\n";  // replaces the earlier G09 entry
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  const ObsEpoch& epoch = data->epochs()[0];
  ASSERT_EQ(epoch.entry_count, 2u);
  EXPECT_EQ(epoch.satellites()[0].record_count, 0u);
  ASSERT_EQ(epoch.satellites()[1].record_count, 1u);
  EXPECT_EQ(epoch.satellites()[1].records[0].value, 3.0);
  EXPECT_EQ(unique_satellites(*data).size(), 2u);
}

TEST(Rinex3Body, InputEndingInsideAnEpochKeepsTheRecordsRead) {
  std::string text = rinex3_header();
  text += epoch_line("2024 01 15 00 00 00.0000000", 0, 999);
  text += "G01" + field("1.0") + "\n";
  text += "R02" + field("2.0");  // no final line feed
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->epochs().size(), 1u);
  EXPECT_EQ(data->epochs()[0].entry_count, 2u);
}

TEST(Rinex3Body, Rinex4UsesTheSameGrammar) {
  std::string text = version_line("4.00") + header_line("E    1 S1C", "SYS / # / OBS TYPES") +
                     end_of_header();
  text += epoch_line("2022 06 08 10 00 00.0000000", 0, 1);
  text += "E11" + field("44.5") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->observation_count(), 1u);
}

}  // namespace
}  // namespace skyloam
