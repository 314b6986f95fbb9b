// Decoding behaviour of compact RINEX on small hand-written files: the
// worked examples of the format, events, clocks, arcs, satellites coming
// and going, flags.
#include <gtest/gtest.h>

#include "testkit/crinex_writer.hpp"
#include "testkit/decode_text.hpp"

namespace skyloam {
namespace {

using testing::compact_text_difference;
using testing::crinex1;
using testing::crinex3;
using testing::decode_text;
using testing::header_line;
using Lines = std::vector<std::string>;

const Lines kTypesG3 = {"G    3 C1C L1C S1C"};

TEST(CrinexDecoder, Version3WorkedExample) {
  const auto decoded = decode_text(crinex3(kTypesG3, {
      "> 2024 03 05 12 00  0.0000000  0  2      G05G12",
      "",
      "3&21000123456 3&110357123789 3&45250 &&06&&",
      "3&23400500250  3&38000",
      "                   3",
      "",
      "111111 583831 250    7",
      "-100250 3&122967111222 250   05",
      "                 1 &",
      "",
      "12 49 -500",
      "50 583778 -250",
      "                   3              1         &&&",
      "",
      "-25  500   &&",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      "> 2024 03 05 12 00  0.0000000  0  2",
      "G05  21000123.456   110357123.78906        45.250",
      "G12  23400500.250                          38.000",
      "> 2024 03 05 12 00 30.0000000  0  2",
      "G05  21000234.567   110357707.62007        45.500",
      "G12  23400400.000   122967111.22205        38.250",
      "> 2024 03 05 12 01  0.0000000  0  2",
      "G05  21000345.690   110358291.50007        45.250",
      "G12  23400299.800   122967695.00005        38.250",
      "> 2024 03 05 12 01 30.0000000  0  1",
      "G05  21000456.800                          45.000",
  }));
  // The CRINEX lines are dropped; the RINEX header passes through.
  ASSERT_EQ(decoded.header.size(), 3u);
  EXPECT_TRUE(decoded.header[0].ends_with("RINEX VERSION / TYPE"));
}

TEST(CrinexDecoder, Version1WorkedExample) {
  const auto decoded = decode_text(crinex1("     6    L1    L2    C1    P2    S1    S2", {
      "&24  3  5 12  0  0.0000000  0  2G07R10",
      "2&-123456",
      "3&120123456789 3&93602212345 3&22858123456 3&22858125000 3&45000 3&38000  6 5",
      "3&110000000000  3&20580000123",
      "                3              1   &&&",
      "56",
      "-2345678 -1827800 -2345600 -2345700 250 0 14",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      " 24  3  5 12  0  0.0000000  0  2G07R10                              -0.000123456",
      " 120123456.789 6  93602212.345 5  22858123.456    22858125.000          45.000",
      "        38.000",
      " 110000000.000                    20580000.123",
      "",
      " 24  3  5 12  0 30.0000000  0  1G07                                 -0.000123400",
      " 120121111.11114  93600384.545 5  22855777.856    22855779.300          45.250",
      "        38.000",
  }));
  // Every restored line carries the index of its compact line: header lines
  // 2-4 (the CRINEX lines were 0 and 1), then the body from 5.
  EXPECT_EQ(decoded.body_indexes, (std::vector<std::size_t>{5, 7, 7, 8, 8, 9, 11, 11}));
}

TEST(CrinexDecoder, Version1SatelliteListsContinueEveryTwelveIds) {
  std::string ids;
  Lines body = {"", ""};
  for (int prn = 1; prn <= 14; ++prn) {
    ids += std::string(prn < 10 ? "G0" : "G") + std::to_string(prn);
    body.push_back(std::string("1&") + std::to_string(prn * 1000));
  }
  body[0] = std::string("&24  3  5 12  0  0.0000000  0 14") + ids;
  const auto decoded = decode_text(crinex1("     1    C1", body));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  ASSERT_EQ(decoded.body.size(), 2u + 14u);
  EXPECT_EQ(decoded.body[0], std::string(" 24  3  5 12  0  0.0000000  0 14") + ids.substr(0, 36));
  EXPECT_EQ(decoded.body[1], std::string(32, ' ') + "G13G14");
  EXPECT_EQ(decoded.body[15], "        14.000");
}

TEST(CrinexDecoder, EventRecordsPassThroughAndMayChangeTheTypes) {
  const auto decoded = decode_text(crinex3({"G    2 C1C S1C"}, {
      "> 2024 03 05 12 00  0.0000000  0  1      G05",
      "",
      "3&21000123456 3&45250",
      "> 2024 03 05 12 00 10.0000000  4  2",
      header_line("SWITCHED TO THREE TYPES", "COMMENT"),
      header_line("G    3 C1C L1C S1C", "SYS / # / OBS TYPES"),
      "> 2024 03 05 12 00 30.0000000  0  1      G05",
      "1&5",
      "3&21000234567 3&110357707620 3&45500",
      " ",  // an unchanged epoch line: same time, same satellite
      "",
      "100 2 -500",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      "> 2024 03 05 12 00  0.0000000  0  1",
      "G05  21000123.456          45.250",
      "> 2024 03 05 12 00 10.0000000  4  2",
      header_line("SWITCHED TO THREE TYPES", "COMMENT"),
      header_line("G    3 C1C L1C S1C", "SYS / # / OBS TYPES"),
      "> 2024 03 05 12 00 30.0000000  0  1       0.000000000005",
      "G05  21000234.567   110357707.620          45.500",
      "> 2024 03 05 12 00 30.0000000  0  1",
      "G05  21000234.667   110357707.622          45.000",
  }));
  EXPECT_EQ(decoded.body_indexes[3], 9u);  // records keep their own lines
}

TEST(CrinexDecoder, EventWithoutRecordsAndVersion1Events) {
  const auto decoded = decode_text(crinex1("     1    C1", {
      "&24  3  5 12  0  0.0000000  2  0",
      "&24  3  5 12  0  0.0000000  0  1G01",
      "",
      "1&7",
      "&24  3  5 12  0 30.0000000  5  1",
      header_line("RECEIVER RESET", "COMMENT"),
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      " 24  3  5 12  0  0.0000000  2  0",
      " 24  3  5 12  0  0.0000000  0  1G01",
      "         0.007",
      " 24  3  5 12  0 30.0000000  5  1",
      header_line("RECEIVER RESET", "COMMENT"),
  }));
}

TEST(CrinexDecoder, StateFollowsTheSatelliteNotItsPosition) {
  const std::string epochs[] = {
      "> 2024 03 05 12 00  0.0000000  0  2      G01R02",
      "> 2024 03 05 12 00 30.0000000  0  3      R05R02G01",  // reordered, one inserted
      "> 2024 03 05 12 01  0.0000000  0  2      R02R05",     // G01 missing
      "> 2024 03 05 12 01 30.0000000  0  3      G01R05R02",  // G01 back, new again
  };
  const auto decoded = decode_text(crinex3({"G    1 C1C", "R    1 C1C"}, {
      epochs[0], "", "2&1000", "2&2000",
      compact_text_difference(epochs[0], epochs[1]), "", "2&9000", "20", "10",
      compact_text_difference(epochs[1], epochs[2]), "", "20", "1",
      compact_text_difference(epochs[2], epochs[3]), "", "2&3000", "1", "-5",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      "> 2024 03 05 12 00  0.0000000  0  2",
      "G01         1.000",
      "R02         2.000",
      "> 2024 03 05 12 00 30.0000000  0  3",
      "R05         9.000",
      "R02         2.020",
      "G01         1.010",
      "> 2024 03 05 12 01  0.0000000  0  2",
      "R02         2.060",
      "R05         9.001",
      "> 2024 03 05 12 01 30.0000000  0  3",
      "G01         3.000",
      "R05         9.003",
      "R02         2.095",
  }));
  // A plain difference for the returning satellite is refused.
  const auto stale = decode_text(crinex3({"G    1 C1C", "R    1 C1C"}, {
      epochs[0], "", "2&1000", "2&2000",
      compact_text_difference(epochs[0], epochs[2]), "", "20", "2&9000",
      compact_text_difference(epochs[2], epochs[3]), "", "10", "1", "-5",
  }));
  EXPECT_EQ(stale.error_text(),
            "RINEX parsing error at line 16: compact data line of G01: field 1 (\"10\") is a "
            "difference, but no arc is running for it (expected n&v)");
}

TEST(CrinexDecoder, ArcsOfEveryOrderAndRestartsWithinAnArc) {
  // The squares 1, 4, 9, 16, 25 (thousandths) as arcs of order 0, 1, 2 and
  // 9; the last field restarts its arc in the fourth epoch.
  const auto decoded = decode_text(crinex3({"G    5 C1C C2C C5C L1C L2C"}, {
      "> 2024 03 05 12 00  0.0000000  0  1      G01", "", "0&1 1&1 2&1 9&1 3&1",
      "                   1", "", "4 3 3 3 3",
      "                   2", "", "9 5 2 2 2",
      "                   3", "", "16 7 2 0 3&16",
      "                   4", "", "25 9 2 0 9",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  ASSERT_EQ(decoded.body.size(), 10u);
  const char* values[] = {"0.001", "0.004", "0.009", "0.016", "0.025"};
  for (std::size_t e = 0; e < 5; ++e) {
    const std::string field = std::string(9, ' ') + values[e];
    EXPECT_EQ(decoded.body[2 * e + 1], std::string("G01") + field + "  " + field + "  " + field + "  " + field +
                                           "  " + field)
        << "epoch " << e;
  }
}

TEST(CrinexDecoder, BlankAndZeroFieldsAndSmallValues) {
  const auto decoded = decode_text(crinex3({"E    4 C1C L1C D1C S1C"}, {
      "> 2024 03 05 12 00  0.0000000  0  1      E11",
      "",
      " 3&0 3&-250 3&5",
      "                   3",
      "",
      "3&-1 0  -5 &&&&   1",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      "> 2024 03 05 12 00  0.0000000  0  1",
      "E11                         0.000          -0.250           0.005",
      "> 2024 03 05 12 00 30.0000000  0  1",
      "E11        -0.001           0.000                           0.000 1",
  }));
}

TEST(CrinexDecoder, FlagsOfVanishedObservationsComeBackBlank) {
  // A version 1.0 writer leaves the old flags of L1 in the string when L1
  // vanishes; the RINEX had blanks, and the next reference is blank too.
  const auto decoded = decode_text(crinex1("     2    L1    C1", {
      "&24  3  5 12  0  0.0000000  0  1G01",
      "",
      "3&1000 3&2000 15",
      "                3",
      "",
      " 10",
      "              1 &",
      "",
      "3&3000 20  5",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      " 24  3  5 12  0  0.0000000  0  1G01",
      "         1.00015         2.000",
      " 24  3  5 12  0 30.0000000  0  1G01",
      "                         2.010",
      " 24  3  5 12  1  0.0000000  0  1G01",
      "         3.000 5         2.040",
  }));
}

TEST(CrinexDecoder, ClockArcsRunEndAndRestart) {
  const auto decoded = decode_text(crinex3({"G    1 C1C"}, {
      "> 2024 03 05 12 00  0.0000000  0  0",
      "2&-250",
      "                   3",
      "100",
      "                 1 &",
      "",
      "                   3",
      "1&999999999999",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body, (Lines{
      "> 2024 03 05 12 00  0.0000000  0  0      -0.000000000250",
      "> 2024 03 05 12 00 30.0000000  0  0      -0.000000000150",
      "> 2024 03 05 12 01  0.0000000  0  0",
      "> 2024 03 05 12 01 30.0000000  0  0       0.999999999999",
  }));
}

TEST(CrinexDecoder, CompleteEpochLineMidFileRestartsEverything) {
  const Lines start = {
      "> 2024 03 05 12 00  0.0000000  0  1      G01", "1&-7", "2&1000",
      "> 2024 03 05 12 00 30.0000000  0  1      G01",
  };
  Lines fresh = start;
  fresh.insert(fresh.end(), {"1&-6", "2&1010"});
  const auto decoded = decode_text(crinex3({"G    1 C1C"}, fresh));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body.back(), "G01         1.010");

  Lines stale = start;
  stale.insert(stale.end(), {"1&-6", "10"});
  EXPECT_NE(decode_text(crinex3({"G    1 C1C"}, stale)).error_text().find("no arc is running"), std::string::npos);
  Lines stale_clock = start;
  stale_clock.insert(stale_clock.end(), {"1", "2&1010"});
  EXPECT_NE(decode_text(crinex3({"G    1 C1C"}, stale_clock)).error_text().find("no clock arc"), std::string::npos);
}

TEST(CrinexDecoder, OneBlankLineAtTheEndIsNotAnEpoch) {
  const auto decoded = decode_text(crinex3({"G    1 C1C"}, {
      "> 2024 03 05 12 00  0.0000000  0  1      G01", "", "2&1000", "",
  }));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body.size(), 2u);
}

TEST(CrinexDecoder, CarriageReturnsAndTinyReadsChangeNothing) {
  std::string text = crinex3(kTypesG3, {"> 2024 03 05 12 00  0.0000000  0  1      G05", "", "3&1 3&2 3&3 &&06&&"});
  std::string with_cr;
  for (const char c : text) with_cr += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const auto plain = decode_text(text);
  const auto dos = decode_text(with_cr, 3);
  ASSERT_FALSE(dos.error) << dos.error_text();
  EXPECT_EQ(dos.body, plain.body);
  EXPECT_EQ(dos.header, plain.header);
}

TEST(CrinexDecoder, FirstLineLabelWithOtherSpacingIsStillCompact) {
  std::string text = crinex3(kTypesG3, {"> 2024 03 05 12 00  0.0000000  0  1      G05", "", "3&1 3&2 3&3"});
  text.replace(text.find("CRINEX VERS   / TYPE"), 20, "CRINEX VERS / TYPE  ");
  const auto decoded = decode_text(text);
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  EXPECT_EQ(decoded.body.size(), 2u);
}

TEST(CrinexDecoder, NonCrinexFilesAndEmptyInputPassThrough) {
  const std::string rinex = header_line("     3.04           OBSERVATION DATA    M", "RINEX VERSION / TYPE") +
                            "\n" + header_line("", "END OF HEADER") + "\n> 2024";
  const auto decoded = decode_text(rinex);
  ASSERT_FALSE(decoded.error);
  EXPECT_EQ(decoded.header.size(), 2u);
  EXPECT_EQ(decoded.body, (Lines{"> 2024"}));
  EXPECT_EQ(decoded.body_indexes, (std::vector<std::size_t>{2}));
  const auto empty = decode_text("");
  EXPECT_FALSE(empty.error);
  EXPECT_TRUE(empty.header.empty());
}

}  // namespace
}  // namespace skyloam
