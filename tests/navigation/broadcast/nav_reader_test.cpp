// The reader's grammar on made-up files: record layouts of every version,
// the traps of real files, the records it must drop, and its failures.
#include "navigation/broadcast/nav_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation/broadcast/gnss_time.hpp"
#include "navigation/broadcast/nav_text.hpp"
#include "testkit/lzw_writer.hpp"

namespace skyloam {
namespace {

using namespace skyloam::testing;

const Epoch kToc{2020, 6, 25, 0, 0, 0.0};
constexpr double kToe = 4 * 86400.0;  // 2020-06-25 00:00 in GPS week 2111

NavData read_text(const std::string& text, const std::string& name = "brdc.rnx") {
  Result<NavData> data = read_nav_bytes(text, name);
  EXPECT_TRUE(data.has_value()) << data.error().display();
  return data ? std::move(*data) : NavData();
}

std::vector<std::string> ids(const NavData& data) {
  std::vector<std::string> out;
  for (const Satellite& s : data.satellites()) out.push_back(to_string(s));
  return out;
}

std::string v3_header(const std::vector<std::string>& lines = {}) {
  return nav_header("3.05", 'N', 'M', lines);
}

RecordNumbers with(RecordNumbers numbers, std::size_t index, std::optional<double> value) {
  numbers[index] = value;
  return numbers;
}

TEST(NavReader, Version3RecordsOfEverySystem) {
  RecordNumbers glonass_304 = glonass_numbers();
  glonass_304.resize(15);  // four lines before version 3.05
  const std::string text =
      v3_header({header_line("    18", "LEAP SECONDS")}) +
      record_v3("G01", kToc, keplerian_numbers(kToe)) +
      record_v3("R01", {2020, 6, 25, 0, 15, 0.0}, glonass_numbers(), NumberStyle::D) +
      record_v3("R02", {2020, 6, 25, 0, 15, 0.0}, glonass_304) +
      record_v3("E11", kToc, with(keplerian_numbers(kToe), 20, 517.0)) +
      record_v3("E11", kToc, with(keplerian_numbers(kToe), 20, 258.0)) +  // its F/NAV copy
      record_v3("C11", kToc, keplerian_numbers(kToe)) +
      record_v3("J01", kToc, keplerian_numbers(kToe, 0.0, 0.0)) +
      record_v3("I02", kToc, keplerian_numbers(kToe)) +
      record_v3("S23", {2020, 6, 25, 0, 8, 0.0}, sbas_numbers());
  const NavData data = read_text(text);
  EXPECT_EQ(ids(data),
            (std::vector<std::string>{"C11", "E11", "G01", "I02", "J01", "R01", "R02", "S23"}));
  EXPECT_EQ(data.num_records(), 8u);
  EXPECT_EQ(data.version(), 3.05);
  EXPECT_EQ(data.leap_seconds(), 18);
  EXPECT_EQ(to_string(data), "NavData(version=3.05, satellites=8, records=8)");
  for (const Satellite& s : data.satellites()) {
    EXPECT_TRUE(data.position(s, {2020, 6, 25, 0, 10, 0.0}).has_value()) << to_string(s);
  }
}

TEST(NavReader, Version2Layouts) {
  RecordNumbers fit_left_off = keplerian_numbers(7200.0);  // (then 4 h)
  fit_left_off.pop_back();
  const std::string gps = nav_header("2.10", 'N', ' ', {header_line("    17", "LEAP SECONDS")}) +
                          record_v2(7, {2015, 7, 19, 2, 0, 0.0}, keplerian_numbers(7200.0)) +
                          record_v2(12, {2015, 7, 19, 2, 0, 0.0}, fit_left_off);
  const NavData data = read_text(gps, "arlm200a.15n");
  EXPECT_EQ(ids(data), (std::vector<std::string>{"G07", "G12"}));
  EXPECT_EQ(to_string(data), "NavData(version=2.1, satellites=2, records=2)");
  EXPECT_TRUE(data.position(*parse_satellite("G12"), {2015, 7, 19, 3, 59, 0.0}).has_value());
  const std::string glonass =
      nav_header("2.11", 'G', ' ') +
      record_v2(3, {2015, 7, 19, 0, 15, 0.0}, glonass_numbers(), NumberStyle::D);
  EXPECT_EQ(ids(read_text(glonass, "x.15g")), std::vector<std::string>{"R03"});
  const std::string galileo =
      nav_header("2.12", 'E', ' ') + record_v2(5, {2018, 7, 29, 0, 0, 0.0}, keplerian_numbers(0.0));
  EXPECT_EQ(ids(read_text(galileo, "x.18e")), std::vector<std::string>{"E05"});
}

TEST(NavReader, Version4ReadsAnnouncedRecordsAndPassesOverTheRest) {
  RecordNumbers cnav = keplerian_numbers(kToe);
  cnav.resize(35);
  const std::string text =
      nav_header("4.00", 'N', 'M') + "> STO C21 CNVX\n    2020 06 25 00 20 00 BDGA\n" +
      "     2.286000000000e+03-2.502929419279e-08 2.664535259100e-14 6.776263578034e-21\n" +
      "> EPH G01 LNAV\n" + record_v3("G01", kToc, keplerian_numbers(kToe)) + "> EPH G02 CNAV\n" +
      record_v3("G02", kToc, cnav) +
      "> ION G01 LNAV\n    2020 06 25 00 00 00 1.0E-08 2.0E-08 3.0E-08 4.0E-08\n" +
      "     5.0E+04 6.0E+04 7.0E+04 8.0E+04\n" +
      "> EOP G01 LNAV\n    2020 06 25 00 00 00 1.0E-06 2.0E-06 3.0E-06\n" +
      "                        1.0E-05 2.0E-05 3.0E-05\n" + "> EPH E11 INAV\n" +
      record_v3("E11", kToc, keplerian_numbers(kToe)) + "> EPH C05 CNV1\n" +
      record_v3("C05", kToc, cnav) + "> EPH R01 FDMA\n" +
      record_v3("R01", {2020, 6, 25, 0, 15, 0.0}, glonass_numbers()) + "> EPH S23 SBAS\n" +
      record_v3("S23", {2020, 6, 25, 0, 2, 24.0}, sbas_numbers()) +
      // A record without its announcement is not evaluated.
      record_v3("G03", kToc, keplerian_numbers(kToe));
  const NavData data = read_text(text);
  EXPECT_EQ(ids(data), (std::vector<std::string>{"E11", "G01", "R01", "S23"}));
  EXPECT_EQ(to_string(data), "NavData(version=4.0, satellites=4, records=4)");
}

TEST(NavReader, UnusableRecordsAreDropped) {
  const Epoch later_toc{2020, 6, 29, 11, 18, 16.0};
  RecordNumbers lines_left_off = keplerian_numbers(kToe);
  lines_left_off.resize(19);
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"unhealthy", record_v3("G01", kToc, keplerian_numbers(kToe, 1.0))},
      {"health blank", record_v3("G01", kToc, with(keplerian_numbers(kToe), 24, std::nullopt))},
      {"Cuc blank", record_v3("G01", kToc, with(keplerian_numbers(kToe), 7, std::nullopt))},
      {"lines left off", record_v3("G01", kToc, lines_left_off)},
      {"eccentricity 0.49", record_v3("C16", kToc, with(keplerian_numbers(kToe), 8, 0.49))},
      {"sqrtA 1991", record_v3("C16", kToc, with(keplerian_numbers(kToe), 10, 1991.78))},
      {"toe days from toc", record_v3("C16", later_toc, keplerian_numbers(kToe))},
      {"toe unknown marker",
       record_v3("G01", kToc, with(keplerian_numbers(kToe), 11, 999999999.999))},
      {"GLONASS unhealthy", record_v3("R01", kToc, glonass_numbers(1.0))},
      {"GLONASS at the centre",
       record_v3("R01", kToc, with(with(with(glonass_numbers(), 3, 0.0), 7, 0.0), 11, 0.0))},
      {"SBAS health 63", record_v3("S23", kToc, sbas_numbers(63.0))},
      {"SBAS URA 32767", record_v3("S23", kToc, sbas_numbers(1.0, 32767.0))},
      {"no such system", record_v3("X01", kToc, keplerian_numbers(kToe))},
      {"number 0", record_v3("G00", kToc, keplerian_numbers(kToe))},
      {"bad epoch", record_v3("G01", {2020, 2, 30, 0, 0, 0.0}, keplerian_numbers(kToe))},
  };
  for (const auto& [why, record] : cases) {
    const NavData data =
        read_text(v3_header() + record + record_v3("G09", kToc, keplerian_numbers(kToe)));
    EXPECT_EQ(ids(data), std::vector<std::string>{"G09"}) << why;
  }
}

TEST(NavReader, CompressedInputByName) {
  const std::string text = v3_header() + record_v3("G01", kToc, keplerian_numbers(kToe));
  EXPECT_EQ(ids(read_text(write_unix_compress(text), "brdc1770.20n.Z")),
            std::vector<std::string>{"G01"});
  // The name alone chooses the layer.
  EXPECT_FALSE(read_nav_bytes(write_unix_compress(text), "brdc1770.20n").has_value());
}

TEST(NavReader, DuplicatesKeepOneCopy) {
  const std::string record = record_v3("G01", kToc, keplerian_numbers(kToe));
  const NavData data = read_text(v3_header() + record + record + record);
  EXPECT_EQ(data.num_records(), 1u);
}

TEST(NavReader, LeapSecondLines) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
      {header_line("    18", "LEAP SECONDS"), 18},
      {header_line("    18    18  1929     7", "LEAP SECONDS"), 18},
      {header_line("     4     4  1929     7BDS", "LEAP SECONDS"), 4},
      {header_line("    xx", "LEAP SECONDS"), std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(read_text(v3_header({line})).leap_seconds(), expected) << line;
  }
}

TEST(NavReader, GlonassTimesTakeTheLeapSecondsOfTheirDate) {
  // Records on either side of 2015-07-01 00:00 UTC.
  const std::string text = v3_header() +
                           record_v3("R01", {2015, 6, 30, 23, 45, 0.0}, glonass_numbers()) +
                           record_v3("R02", {2015, 7, 1, 0, 15, 0.0}, glonass_numbers());
  const NavData data = read_text(text);
  const auto reference = [&](const char* satellite) {
    return data.ephemerides(*parse_satellite(satellite))->list().front().reference;
  };
  EXPECT_EQ(reference("R01"), *seconds_since_gps_origin({2015, 6, 30, 23, 45, 16.0}));
  EXPECT_EQ(reference("R02"), *seconds_since_gps_origin({2015, 7, 1, 0, 15, 17.0}));
}

TEST(NavReader, WhatCannotBeRead) {
  const auto failure = [](const std::string& text, const std::string& name = "x.rnx") {
    Result<NavData> data = read_nav_bytes(text, name);
    return data ? std::string("read") : data.error().display();
  };
  EXPECT_EQ(failure(nav_header("3.04", 'O', 'M')),
            "Navigation file error: not a RINEX navigation file: file type 'O'");
  EXPECT_EQ(failure(nav_header("2.11", 'M', ' ')),
            "Navigation file error: not a RINEX navigation file: file type 'M'");
  EXPECT_EQ(failure(nav_header("5.00", 'N', 'M')), "Unsupported RINEX version: 5.00");
  EXPECT_EQ(failure(nav_header("2", 'N', ' ')), "Unsupported RINEX version: 2");
  EXPECT_EQ(failure("G01 2020 06 25\n"),
            "Navigation file error: not a RINEX navigation file: the first line is not RINEX "
            "VERSION / TYPE");
  EXPECT_EQ(failure(""),
            "Navigation file error: not a RINEX navigation file: no RINEX VERSION / TYPE line");
  EXPECT_EQ(failure(v3_header() + "G01 \xff\n"), "I/O error: stream did not contain valid UTF-8");
  EXPECT_EQ(failure(v3_header(), "x.rnx.gz").substr(0, 11), "I/O error: ");
  EXPECT_EQ(failure("\n\n" + v3_header()), "read");  // blank lines before the header
}

TEST(NavReader, GarbageAndHugeLinesReadAsNothing) {
  std::string text = v3_header() + std::string(3 << 20, 'G') + "\n";
  for (int i = 0; i < 2000; ++i) text += "    1.0E+00 x\n";
  text += "G01 2020 06\n" + std::string(200, ' ') + "\n> EPH G01 LNAV\n";
  text += record_v3("G02", kToc, keplerian_numbers(kToe));
  const NavData data = read_text(text);
  EXPECT_EQ(ids(data), std::vector<std::string>{"G02"});
}

}  // namespace
}  // namespace skyloam
