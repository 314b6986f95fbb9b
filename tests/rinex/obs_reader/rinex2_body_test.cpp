#include <gtest/gtest.h>

#include "rinex/obs_reader/obs_queries.hpp"
#include "rinex_text.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::field;
using testing::header_line;
using testing::read_text;
using testing::version_line;

std::string rinex2_header(std::string_view types_line) {
  return version_line("2.11") + header_line(types_line, "# / TYPES OF OBSERV") + end_of_header();
}

// " yy mm dd hh mm ss.sssssss  f nnn" then the satellite list.
std::string epoch_line(std::string_view time, int flag, int count, std::string_view list) {
  char text[64];
  std::snprintf(text, sizeof text, " %s  %d%3d", std::string(time).c_str(), flag, count);
  return std::string(text) + std::string(list) + "\n";
}

std::vector<std::string> satellite_ids(const ObsEpoch& epoch) {
  std::vector<std::string> ids;
  for (const SatelliteEntry& entry : epoch.satellites()) ids.push_back(to_string(entry.satellite));
  return ids;
}

TEST(Rinex2Body, ContinuationListAndClockOffsetColumns) {
  std::string text = rinex2_header("     1    C1");
  std::string list;
  for (int prn = 1; prn <= 12; ++prn) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "%c%02d", prn % 2 ? 'G' : 'R', prn);
    list += entry;
  }
  text += epoch_line("24  1 15  0  0 30.0000000", 0, 14, list + "       0.123456789");
  text += std::string(32, ' ') + "E13  4\n";  // entry 13: blank letter, one digit: G04
  for (int s = 0; s < 14; ++s) text += field(std::to_string(100 + s)) + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data) << data.error().display();
  ASSERT_EQ(data->epochs().size(), 1u);
  const ObsEpoch& epoch = data->epochs()[0];
  EXPECT_EQ(epoch.time.year, 2024);
  EXPECT_EQ(epoch.time.second, 30.0);
  EXPECT_FALSE(epoch.clock_offset);
  const std::vector<std::string> ids = satellite_ids(epoch);
  ASSERT_EQ(ids.size(), 14u);
  EXPECT_EQ(ids[12], "E13");
  EXPECT_EQ(ids[13], "G04");
  EXPECT_EQ(epoch.satellites()[13].records[0].value, 113.0);
}

TEST(Rinex2Body, SeveralLinesPerSatelliteInListOrder) {
  // Seven types: five fields on the first line, two on the second.
  std::string text = rinex2_header("     7    L1    L2    C1    P2    P1    S1    s2");
  text += epoch_line("21  1  1  0  0  0.0000000", 0, 2, "G05R12");
  text += field("1.5", '1', '7') + field("2.5") + field("3.5") + field("4.5") + field("5.5") + "\n";
  text += field("41.0") + field("42.0") + "\n";
  text += field("") + field("") + field("") + field("") + field("6.5") + "\n";
  text += field("") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  const ObsEpoch& epoch = data->epochs()[0];
  ASSERT_EQ(epoch.entry_count, 2u);
  const SatelliteEntry& g05 = epoch.satellites()[0];
  ASSERT_EQ(g05.record_count, 7u);
  EXPECT_EQ(to_string(data->code(g05.records[0].code)), "L1C");
  EXPECT_EQ(g05.records[0].lli, 1);
  EXPECT_EQ(g05.records[0].ssi, 7);
  EXPECT_EQ(to_string(data->code(g05.records[3].code)), "C2P");
  EXPECT_EQ(to_string(data->code(g05.records[4].code)), "C1P");
  EXPECT_EQ(to_string(data->code(g05.records[6].code)), "S2C");
  EXPECT_EQ(g05.records[6].value, 42.0);
  const SatelliteEntry& r12 = epoch.satellites()[1];
  ASSERT_EQ(r12.record_count, 1u);
  EXPECT_EQ(r12.records[0].value, 6.5);
}

TEST(Rinex2Body, UnmappedTypesBlankSatellitesAndShortLines) {
  std::string text = rinex2_header("     4    C7    C1    LA    S1");
  text += epoch_line("16  6 18  0  0  0.0000000", 0, 3, "G01G02G03");
  text += field("7.0") + field("1.0") + field("9.0") + field("40.0") + "\n";
  text += "\n";                                     // G02: all blank, not entered
  text += field("") + "  2" + "\n";                 // G03: C1 cut inside its value
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  const ObsEpoch& epoch = data->epochs()[0];
  EXPECT_EQ(satellite_ids(epoch), (std::vector<std::string>{"G01"}));
  EXPECT_EQ(epoch.satellites()[0].record_count, 2u);  // C1C and S1C only
  EXPECT_EQ(observation_types(*data, GnssSystem::GPS), (std::vector<std::string>{"C1C", "S1C"}));
}

TEST(Rinex2Body, YearsFlagsAndEvents) {
  std::string text = rinex2_header("     1    C1");
  text += "junk before the first epoch\n";
  text += epoch_line("99 12 31 23 59 59.0000000", 0, 1, "G01") + field("1.0") + "\n";
  text += epoch_line(" 5  1  1  0  0  0.0000000", 3, 2, "") + header_line("ANY", "COMMENT") +
          field("9.0") + "\n";
  text += epoch_line(" 5  1  1  0  0  1.0000000", 1, 1, "G01") + field("2.0") + "\n";
  text += epoch_line(" 0  1  1  0  0  2.0000000", 6, 1, "G01") + field("3.0") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->epochs().size(), 3u);
  EXPECT_EQ(data->epochs()[0].time.year, 1999);
  EXPECT_EQ(data->epochs()[1].time.year, 2005);
  EXPECT_EQ(data->epochs()[1].flag, 1);
  EXPECT_EQ(data->epochs()[2].time.year, 2000);
  EXPECT_EQ(data->epochs()[2].flag, 6);
}

TEST(Rinex2Body, SatelliteListEntries) {
  std::string text = rinex2_header("     1    C1");
  // "G 9" (inner blank), "R 1", "  7", " 12", "?05" (skipped), "G-1" (skipped), "E11".
  text += epoch_line("17  1  1  0  0  0.0000000", 0, 7, "G 9R 1  7 12?05G-1E11");
  for (int s = 0; s < 5; ++s) text += field(std::to_string(s + 1)) + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  EXPECT_EQ(satellite_ids(data->epochs()[0]),
            (std::vector<std::string>{"G09", "R01", "G07", "G12", "E11"}));
  EXPECT_EQ(data->epochs()[0].satellites()[4].records[0].value, 5.0);
}

TEST(Rinex2Body, NoTypesGivesEpochsWithoutSatellites) {
  std::string text = version_line("2.11") + end_of_header();
  text += epoch_line("17  1  1  0  0  0.0000000", 0, 1, "G01") + field("1.0") + "\n";
  const auto data = read_text(text);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->epochs().size(), 1u);
  EXPECT_EQ(data->epochs()[0].entry_count, 0u);
}

TEST(Rinex2Body, CarriageReturnsChangeNothing) {
  std::string text = rinex2_header("     2    C1    S1");
  text += epoch_line("17  1  1  0  0  0.0000000", 0, 2, "G01G02") + field("1.0") + field("45.0") +
          "\n" + field("2.0") + "\n";
  std::string with_cr;
  for (const char c : text) {
    if (c == '\n') with_cr += "\r\r";
    with_cr += c;
  }
  const auto plain = read_text(text);
  const auto crlf = read_text(with_cr);
  ASSERT_TRUE(plain && crlf);
  EXPECT_EQ(plain->observation_count(), 3u);
  EXPECT_EQ(crlf->observation_count(), 3u);
  EXPECT_EQ(crlf->epochs()[0].satellites()[0].records[1].value, 45.0);
}

}  // namespace
}  // namespace skyloam
