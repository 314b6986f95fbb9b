#include "navigation/sp3/sp3_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation/sp3/sp3_text.hpp"
#include "support/temp_folder.hpp"

namespace skyloam {
namespace {

using namespace skyloam::testing;

std::string join(const std::vector<std::string>& lines, std::string_view end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(end);
  return text;
}

Sp3Data read_text(const std::string& text) {
  const testing::TempFolder folder;
  Result<Sp3Data> data = read_sp3(folder.write("reader.sp3", text));
  EXPECT_TRUE(data.has_value()) << data.error().display();
  return data ? std::move(*data) : Sp3Data();
}

std::vector<std::string> ids(const Sp3Data& data) {
  std::vector<std::string> out;
  for (const Satellite& s : data.satellites()) out.push_back(to_string(s));
  return out;
}

std::size_t record_count(const Sp3Data& data, const char* satellite) {
  const SatelliteOrbit* orbit = data.orbit(*parse_satellite(satellite));
  return orbit == nullptr ? 0 : orbit->records().size();
}

TEST(Sp3Header, DeclaredEpochCountAndInterval) {
  const Sp3Data data = read_text(join({sp3_header_line("96"), sp3_time_line("900.00000000"),
                                       sp3_epoch_line(0, 0)}));
  EXPECT_EQ(data.num_epochs(), 96u);
  EXPECT_EQ(data.interval(), 900.0);
  EXPECT_EQ(to_string(data), "Sp3Data(satellites=0, epochs=96, interval=900s)");
}

TEST(Sp3Header, FallbacksAndOverrides) {
  EXPECT_EQ(read_text(join({sp3_header_line("x")})).num_epochs(), 0u);
  EXPECT_EQ(read_text(join({sp3_header_line("96")})).interval(), 0.0);
  EXPECT_EQ(read_text(join({sp3_time_line("")})).interval(), 900.0);
  EXPECT_EQ(read_text(join({sp3_time_line("0.5")})).interval(), 0.5);
  // A later line of the same kind wins; order between kinds does not matter.
  const Sp3Data later = read_text(join({sp3_time_line("300.0"), sp3_header_line("12"),
                                        sp3_time_line("30.0"), sp3_header_line("288")}));
  EXPECT_EQ(later.num_epochs(), 288u);
  EXPECT_EQ(later.interval(), 30.0);
  // Header lines shorter than 60 bytes and unknown "#" lines are skipped.
  const Sp3Data short_lines = read_text(join({sp3_header_line("5").substr(0, 59),
                                              sp3_time_line("60.0").substr(0, 59),
                                              "#eP" + sp3_header_line("7").substr(3)}));
  EXPECT_EQ(short_lines.num_epochs(), 0u);
  EXPECT_EQ(short_lines.interval(), 0.0);
}

TEST(Sp3Records, StoredInMetresPerSatelliteInSatelliteOrder) {
  const Sp3Data data = read_text(join({
      "+   3   R01G10E05  0  0  0  0  0  0  0  0  0  0  0  0  0  0",
      sp3_epoch_line(0, 0),
      sp3_position_line("R01", 1.5, 2.0, -3.25, 12.5),
      sp3_position_line("G10", 10.0, 20.0, 30.0, -1.0),
      sp3_position_line("C05", 4.0, 5.0, 6.0, 0.0),
      sp3_epoch_line(0, 15),
      sp3_position_line("G10", 11.0, 21.0, 31.0, -2.0),
      "EOF",
  }));
  // E05 is only in the "+" list; C05 has records but is not listed there.
  EXPECT_EQ(ids(data), (std::vector<std::string>{"C05", "G10", "R01"}));
  const SatelliteOrbit* g10 = data.orbit(Satellite{GnssSystem::GPS, 10});
  ASSERT_NE(g10, nullptr);
  ASSERT_EQ(g10->records().size(), 2u);
  EXPECT_EQ(g10->records()[0].x, 10000.0);
  EXPECT_EQ(g10->records()[1].epoch.minute, 15u);
  EXPECT_EQ(g10->records()[1].clock, -2.0);
  const Sp3Record& r01 = data.orbit(Satellite{GnssSystem::GLONASS, 1})->records()[0];
  EXPECT_EQ(r01.y, 2000.0);
  EXPECT_EQ(r01.z, -3250.0);
  EXPECT_EQ(r01.clock, 12.5);
  EXPECT_EQ(r01.epoch.year, 2020);
}

// The line with the 14-byte field at `begin` replaced by `text`, right-aligned.
std::string with_field(std::string line, std::size_t begin, std::string_view text) {
  line.replace(begin, 14, std::string(14 - text.size(), ' ') + std::string(text));
  return line;
}

TEST(Sp3Records, UnusableRecordsAreDropped) {
  const Sp3Data data = read_text(join({
      sp3_position_line("G01", 1, 2, 3, 4),  // before any epoch line
      sp3_epoch_line(0, 0),
      sp3_position_line("G02", 1, 2, 3, 999999.999999),  // bad clock
      sp3_position_line("G03", 1, 2, 3, 4).substr(0, 46) + "              ",  // blank clock
      sp3_position_line("G04", 0, 0, 0, 4),  // missing position
      with_field(sp3_position_line("G05", 1, 2, 3, 4), 18, "2.x00"),  // unreadable y
      with_field(sp3_position_line("G06", 1, 2, 3, 4), 4, "nan"),
      with_field(sp3_position_line("G10", 1, 2, 3, 4), 4, "1e307"),  // infinite in metres
      with_field(sp3_position_line("G11", 1, 2, 3, 4), 46, "-inf"),
      sp3_position_line("G07", 1, 2, 3, 4).substr(0, 59),  // too short
      sp3_position_line("X08", 1, 2, 3, 4),  // no such system
      sp3_position_line("G09", 0, 0, 1e-6, -900000.0),  // kept: at the limits
  }));
  EXPECT_EQ(ids(data), (std::vector<std::string>{"G09"}));
}

TEST(Sp3Records, BlankSystemLetterMeansGps) {
  const Sp3Data data = read_text(join({
      sp3_epoch_line(0, 0),
      sp3_position_line("  1", 1, 2, 3, 4),
      sp3_position_line(" 12", 1, 2, 3, 4),
      sp3_position_line("   ", 1, 2, 3, 4),
      sp3_position_line(" 1a", 1, 2, 3, 4),
  }));
  EXPECT_EQ(ids(data), (std::vector<std::string>{"G01", "G12"}));
}

TEST(Sp3Records, RepeatedEpochKeepsTheFirstRecord) {
  const Sp3Data data = read_text(join({
      sp3_epoch_line(0, 0),
      sp3_position_line("G01", 1, 2, 3, 4),
      sp3_position_line("G01", 9, 9, 9, 9),
      sp3_epoch_line(0, 15),
      sp3_position_line("G01", 5, 6, 7, 8),
  }));
  const SatelliteOrbit* g01 = data.orbit(Satellite{GnssSystem::GPS, 1});
  ASSERT_EQ(g01->records().size(), 2u);
  EXPECT_EQ(g01->records()[0].x, 1000.0);
  EXPECT_EQ(g01->records()[1].x, 5000.0);
}

TEST(Sp3EpochLines, BadEpochLineKeepsThePreviousEpoch) {
  const Sp3Data data = read_text(join({
      sp3_epoch_line(0, 0),
      sp3_position_line("G01", 1, 2, 3, 4),
      "*  2020  6 25  0 xx  0.00000000",  // does not parse
      sp3_position_line("G01", 5, 6, 7, 8),  // same epoch again: dropped
      sp3_position_line("G02", 5, 6, 7, 8),  // filed under 00:00
      "*  2020  6 25  0 30",  // five fields
      sp3_position_line("G03", 5, 6, 7, 8),
  }));
  EXPECT_EQ(record_count(data, "G01"), 1u);
  EXPECT_EQ(data.orbit(*parse_satellite("G02"))->records()[0].epoch.minute, 0u);
  EXPECT_EQ(data.orbit(*parse_satellite("G03"))->records()[0].epoch.minute, 0u);
}

TEST(Sp3EpochLines, ShortLinesAndOddFields) {
  const Sp3Data data = read_text(join({
      "*  2020  6 25  1  2  3",  // 22 bytes: read what is there
      sp3_position_line("G01", 1, 2, 3, 4),
      "*  2020  6 25  1  2  nan",  // seconds not a number: unusable
      sp3_position_line("G02", 1, 2, 3, 4),
      "*  95 12 31  0  0   .5 ignored fields",  // taken as written
      sp3_position_line("G03", 1, 2, 3, 4),
  }));
  EXPECT_EQ(ids(data), (std::vector<std::string>{"G01", "G03"}));
  const Epoch& e1 = data.orbit(*parse_satellite("G01"))->records()[0].epoch;
  EXPECT_EQ(e1.hour, 1u);
  EXPECT_EQ(e1.minute, 2u);
  EXPECT_EQ(e1.second, 3.0);
  const Epoch& e3 = data.orbit(*parse_satellite("G03"))->records()[0].epoch;
  EXPECT_EQ(e3.year, 95);
  EXPECT_EQ(e3.second, 0.5);
}

TEST(Sp3Reading, MultiByteCharactersAcrossColumnsDoNotBreakIt) {
  // "é" spans bytes 17-18, across the x/y boundary; "€" spans the epoch
  // line's last column, so that line does not parse and 00:00 stays.
  std::string cut = sp3_position_line("G01", 1, 2, 3, 4);
  cut.replace(17, 1, "\xC3\xA9");
  const Sp3Data data = read_text(join({
      sp3_epoch_line(0, 0),
      "*  2020  6 25  0 15  0.0000000\xE2\x82\xAC",
      cut,
      sp3_position_line("G02", 1, 2, 3, 4),
      "\xE2\x82\xAC\xE2\x82\xAC garbage line",
  }));
  EXPECT_EQ(ids(data), (std::vector<std::string>{"G02"}));
  EXPECT_EQ(data.orbit(*parse_satellite("G02"))->records()[0].epoch.minute, 0u);
}

TEST(Sp3Reading, WindowsLineEndsReadAlike) {
  const std::vector<std::string> lines = {sp3_header_line("2"), sp3_time_line("900.0"),
                                          sp3_epoch_line(0, 0),
                                          sp3_position_line("G01", 1, 2, 3, 4), "EOF"};
  const Sp3Data unix_data = read_text(join(lines, "\n"));
  const Sp3Data windows_data = read_text(join(lines, "\r\n"));
  EXPECT_EQ(to_string(windows_data), to_string(unix_data));
  EXPECT_EQ(to_string(unix_data), "Sp3Data(satellites=1, epochs=2, interval=900s)");
  EXPECT_EQ(windows_data.orbit(*parse_satellite("G01"))->records()[0].clock, 4.0);
}

TEST(Sp3Reading, OnlyInputFailuresFail) {
  const auto missing = read_sp3("/nonexistent/orbits.sp3");
  ASSERT_FALSE(missing.has_value());
  EXPECT_EQ(missing.error().kind(), ErrorKind::Io);

  const testing::TempFolder folder;
  const auto invalid = read_sp3(folder.write("bad.sp3", sp3_epoch_line(0, 0) + "\n" + "P\xFF" + "\n"));
  ASSERT_FALSE(invalid.has_value());
  EXPECT_EQ(invalid.error().display(), "I/O error: stream did not contain valid UTF-8");

  EXPECT_EQ(to_string(read_text("")), "Sp3Data(satellites=0, epochs=0, interval=0s)");
  EXPECT_EQ(read_text(std::string(300000, 'P')).num_satellites(), 0u);
}

TEST(Sp3Repr, IntervalInShortestDecimal) {
  EXPECT_EQ(shortest_decimal(900.0), "900");
  EXPECT_EQ(shortest_decimal(0.5), "0.5");
  EXPECT_EQ(shortest_decimal(0.1), "0.1");
  EXPECT_EQ(shortest_decimal(1e-5), "0.00001");
  EXPECT_EQ(shortest_decimal(1e21), "1000000000000000000000");
  EXPECT_EQ(shortest_decimal(-30.25), "-30.25");
  EXPECT_EQ(shortest_decimal(5e-324).size(), 326u);
}

}  // namespace
}  // namespace skyloam
