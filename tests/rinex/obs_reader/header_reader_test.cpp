#include "rinex/obs_reader/header_reader.hpp"

#include <gtest/gtest.h>

#include "rinex/obs_reader/header_records.hpp"
#include "rinex/obs_reader/obs_input.hpp"
#include "rinex_text.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::header_line;
using testing::read_text;
using testing::version_line;

RinexObsHeader header_of(const std::string& text) {
  auto data = read_text(text);
  EXPECT_TRUE(data.has_value()) << (data ? "" : data.error().display());
  return data ? data->header() : RinexObsHeader{};
}

TEST(HeaderReader, LabelsAreTrimmedWholeAndCaseSensitive) {
  // A 59-byte line carrying the words is not a label line; the lower-case
  // label is not the end either; blanks around the real label are fine.
  std::string text = version_line("3.04");
  text += std::string(46, ' ') + "END OF HEADER\n";
  text += header_line("SITE", "end of header");
  text += header_line("MARK", "MARKER NAME");
  text += std::string(60, ' ') + "   END OF HEADER   \r\n";
  text += header_line("LATE", "MARKER NAME");
  const RinexObsHeader header = header_of(text);
  EXPECT_EQ(header.marker_name, "MARK");
}

TEST(HeaderReader, VersionRule) {
  const auto version_text = [](std::string_view field) {
    auto data = read_text(version_line(field) + end_of_header());
    return data ? to_string(data->header().version) : data.error().display();
  };
  EXPECT_EQ(version_text("3.04"), "3.04");
  EXPECT_EQ(version_text("2.11"), "2.11");
  EXPECT_EQ(version_text("3.5"), "3.05");
  EXPECT_EQ(version_text("4.01"), "4.01");
  EXPECT_EQ(version_text("3.045"), "3.04");
  EXPECT_EQ(version_text("5.00"), "Unsupported RINEX version: 5.00");
  EXPECT_EQ(version_text("1.00"), "Unsupported RINEX version: 1.00");
  EXPECT_EQ(version_text("3"), "Unsupported RINEX version: 3");
  EXPECT_EQ(version_text("3."), "Unsupported RINEX version: 3.");
  EXPECT_EQ(version_text(""), "Unsupported RINEX version: ");
  EXPECT_EQ(version_text("258.1"), "Unsupported RINEX version: 258.1");

  auto failed = read_text(version_line("5.00"));
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().kind(), ErrorKind::UnsupportedVersion);
}

TEST(HeaderReader, DefaultsWithoutAnyHeaderLine) {
  auto data = read_text("");
  ASSERT_TRUE(data);
  EXPECT_EQ(to_string(data->header().version), "3.05");
  EXPECT_EQ(data->header().file_type, 'O');
  EXPECT_FALSE(data->header().satellite_system);
  EXPECT_TRUE(data->epochs().empty());
}

TEST(HeaderReader, TextFieldsAndLaterLinesReplace) {
  std::string text = version_line("3.04");
  text += header_line("sbf2rin-13.4.5      ME                  20220706 130812 UTC",
                      "PGM / RUN BY / DATE");
  text += header_line("FIRST", "MARKER NAME");
  text += header_line("  ESBC00DNK  ", "MARKER NAME");
  text += header_line("10118M001", "MARKER NUMBER");
  text += header_line("GEODETIC", "MARKER TYPE");
  text += header_line("SDFE                SDFE AGENCY", "OBSERVER / AGENCY");
  text += header_line("3047937             SEPT POLARX5        5.2.0", "REC # / TYPE / VERS");
  text += header_line("CR5200327016        ASH701945E_M    SCIS", "ANT # / TYPE");
  text += header_line(" first comment ", "COMMENT");
  text += header_line("second", "COMMENT");
  text += header_line("    18", "LEAP SECONDS");
  text += header_line("   113", "# OF SATELLITES");
  text += header_line("  -x", "# OF SATELLITES");
  text += header_line("    30.000", "INTERVAL");
  text += end_of_header();
  const RinexObsHeader h = header_of(text);
  EXPECT_EQ(h.program, "sbf2rin-13.4.5");
  EXPECT_EQ(h.run_by, "ME");
  EXPECT_EQ(h.date, "20220706 130812 UTC");
  EXPECT_EQ(h.marker_name, "ESBC00DNK");
  EXPECT_EQ(h.marker_number, "10118M001");
  EXPECT_EQ(h.marker_type, "GEODETIC");
  EXPECT_EQ(h.observer, "SDFE");
  EXPECT_EQ(h.agency, "SDFE AGENCY");
  EXPECT_EQ(h.receiver_number, "3047937");
  EXPECT_EQ(h.receiver_type, "SEPT POLARX5");
  EXPECT_EQ(h.receiver_version, "5.2.0");
  EXPECT_EQ(h.antenna_number, "CR5200327016");
  EXPECT_EQ(h.antenna_type, "ASH701945E_M    SCIS");
  EXPECT_EQ(h.comments, (std::vector<std::string>{"first comment", "second"}));
  EXPECT_EQ(h.leap_seconds, 18);
  EXPECT_EQ(h.declared_satellites, 113u);
  EXPECT_EQ(h.declared_interval, 30.0);
  EXPECT_EQ(h.satellite_system, GnssSystem::Mixed);
}

TEST(HeaderReader, NumberTriplesDropBadPieces) {
  EXPECT_EQ(parse_number_triple(header_line("1.5 abc 2.5   3.5", "X")),
            (std::array<double, 3>{1.5, 2.5, 3.5}));
  EXPECT_FALSE(parse_number_triple(header_line("1.5 2.5", "X")));

  std::string text = header_line("  3582105.2910   532589.7313  5232754.8054", "APPROX POSITION XYZ");
  text += header_line("  1.0 2.0", "APPROX POSITION XYZ");  // too few: keeps the first
  text += header_line("        0.2160        0.0000        0.0000", "ANTENNA: DELTA H/E/N");
  text += header_line("    abc", "INTERVAL");
  const RinexObsHeader h = header_of(text);
  EXPECT_EQ(h.approx_position, (std::array<double, 3>{3582105.2910, 532589.7313, 5232754.8054}));
  EXPECT_EQ(h.antenna_delta, (std::array<double, 3>{0.216, 0.0, 0.0}));
  EXPECT_FALSE(h.declared_interval);
}

TEST(HeaderReader, Rinex3ObsTypesWithContinuationLines) {
  std::string text;
  text += header_line("       L2P", "SYS / # / OBS TYPES");  // continuation before any system
  text += header_line("G   18 C1C C1W C2L C2W C5Q D1C D2L D2W D5Q L1C L2L L2W L5Q",
                      "SYS / # / OBS TYPES");
  text += header_line("       S1C S1W S2L S2W S5Q", "SYS / # / OBS TYPES");
  text += header_line("X    2 C1C C2C", "SYS / # / OBS TYPES");  // names no system
  text += header_line("       C1CX Q1C c7x", "SYS / # / OBS TYPES");
  text += header_line("r    2 C1C L1C", "SYS / # / OBS TYPES");
  text += header_line("R    1 S1C", "SYS / # / OBS TYPES");
  const RinexObsHeader h = header_of(text);
  ASSERT_EQ(h.obs_types.size(), 2u);
  const std::vector<ObsCode>& gps = h.obs_types.at(GnssSystem::GPS);
  ASSERT_EQ(gps.size(), 19u);  // 13 + 5, then C7X from the line after the unknown letter
  EXPECT_EQ(to_string(gps[0]), "C1C");
  EXPECT_EQ(to_string(gps[12]), "L5Q");
  EXPECT_EQ(to_string(gps[17]), "S5Q");
  EXPECT_EQ(to_string(gps[18]), "C7X");
  const std::vector<ObsCode>& glonass = h.obs_types.at(GnssSystem::GLONASS);
  ASSERT_EQ(glonass.size(), 3u);
  EXPECT_EQ(to_string(glonass[2]), "S1C");
}

TEST(HeaderReader, Rinex2ObsTypes) {
  std::string text;
  text += header_line("     5    C1    L1    L2    P2    S1", "# / TYPES OF OBSERV");
  RinexObsHeader h = header_of(text);
  EXPECT_EQ(h.obs_types_v2, (std::vector<std::string>{"C1", "L1", "L2", "P2", "S1"}));

  text = header_line("    11    L1    L2    C1    P1    P2    D1    D2    S1    S2",
                     "# / TYPES OF OBSERV");
  text += header_line("          c5    L5", "# / TYPES OF OBSERV");
  h = header_of(text);
  ASSERT_EQ(h.obs_types_v2.size(), 11u);
  EXPECT_EQ(h.obs_types_v2[9], "c5");  // kept as written
  EXPECT_EQ(h.obs_types_v2[10], "L5");
}

TEST(HeaderReader, GlonassSlotsAndBiases) {
  std::string text;
  text += header_line(" 24 R01  1 R02 -4 R03  5 R05 200 R06", "GLONASS SLOT / FRQ #");
  text += header_line("    R04  6 R01  2", "GLONASS SLOT / FRQ #");
  text += header_line(" C1C  -71.940 C1P  -71.940 C2C  -71.940 C2P  bad", "GLONASS COD/PHS/BIS");
  RinexObsHeader h = header_of(text);
  const std::map<std::uint32_t, std::int8_t> expected{{1, 2}, {2, -4}, {3, 5}, {4, 6}};
  EXPECT_EQ(h.glonass_slots, expected);
  ASSERT_TRUE(h.glonass_cod_phs_bis);
  EXPECT_EQ(h.glonass_cod_phs_bis->size(), 3u);
  EXPECT_EQ(h.glonass_cod_phs_bis->at("C2C"), -71.94);

  h = header_of(header_line("                         ", "GLONASS COD/PHS/BIS"));
  EXPECT_FALSE(h.glonass_cod_phs_bis);
}

TEST(HeaderReader, ObservationTimes) {
  std::string text;
  text += header_line("  2024     1    15     0     0   30.0000000     GPS", "TIME OF FIRST OBS");
  text += header_line("  2024     1    15    23    59   30.0000000     GPS", "TIME OF LAST OBS");
  RinexObsHeader h = header_of(text);
  ASSERT_TRUE(h.time_of_first_obs);
  EXPECT_EQ(h.time_of_first_obs->year, 2024);
  EXPECT_EQ(h.time_of_first_obs->second, 30.0);
  EXPECT_EQ(h.time_of_last_obs->hour, 23u);
  EXPECT_EQ(h.time_system, "GPS");

  h = header_of(header_line("  2024     1" + std::string(36, ' ') + "GLO", "TIME OF FIRST OBS"));
  EXPECT_FALSE(h.time_of_first_obs);
  EXPECT_EQ(h.time_system, "GLO");
  h = header_of(header_line("  2024     1    15     0     x   30.0", "TIME OF FIRST OBS"));
  EXPECT_FALSE(h.time_of_first_obs);
}

TEST(HeaderReader, StopsAtEndOfHeaderAndLeavesTheBody) {
  const std::string text = version_line("3.04") + end_of_header() + "first body line\n";
  auto lines = open_obs_bytes(std::span<const char>(text.data(), text.size()), "x.rnx");
  ASSERT_TRUE(lines);
  ASSERT_TRUE(read_header(**lines));
  auto next = (*lines)->next();
  ASSERT_TRUE(next && *next);
  EXPECT_EQ((*next)->index, 2u);
  EXPECT_EQ((*next)->text, "first body line");
}

}  // namespace
}  // namespace skyloam
