// Damaged compact RINEX: every malformed line is a parse error that names
// its line, truncated files are errors, and nothing crashes or hangs.
#include <gtest/gtest.h>

#include <random>

#include "rinex/compressed/crinex_detect.hpp"
#include "support/test_data.hpp"
#include "testkit/decode_text.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam {
namespace {

using testing::crinex1;
using testing::crinex3;
using testing::decode_text;
using testing::header_line;
using Lines = std::vector<std::string>;

const std::string kEpoch = "> 2024 03 05 12 00  0.0000000  0  1      G05";
// The body of a file with types {"G    2 C1C S1C"} starts at line 5.
constexpr std::size_t kBody = 5;

struct Expectation {
  std::size_t line;
  std::string message_part;
};

void expect_parse_error(const testing::Decoded& decoded, const Expectation& want) {
  ASSERT_TRUE(decoded.error) << "decoded without an error";
  EXPECT_EQ(decoded.error->kind(), ErrorKind::RinexParse) << decoded.error_text();
  EXPECT_EQ(decoded.error->number(), want.line) << decoded.error_text();
  EXPECT_NE(decoded.error->text().find(want.message_part), std::string::npos) << decoded.error_text();
}

void expect_body_error(const Lines& body, const Expectation& want) {
  expect_parse_error(decode_text(crinex3({"G    2 C1C S1C"}, body)), want);
}

TEST(CrinexMalformed, DataFieldsThatAreNotNumbers) {
  expect_body_error({kEpoch, "", "3&1 12a"}, {kBody + 2, "field 2 (\"12a\") is neither an arc start"});
  expect_body_error({kEpoch, "", "&5"}, {kBody + 2, "field 1 (\"&5\") is neither"});
  expect_body_error({kEpoch, "", "3&"}, {kBody + 2, "is neither"});
  expect_body_error({kEpoch, "", "3&1.5"}, {kBody + 2, "is neither"});
  expect_body_error({kEpoch, "", "3&1\t2"}, {kBody + 2, "is neither"});
  expect_body_error({kEpoch, "", "3&1 --2"}, {kBody + 2, "field 2"});
}

TEST(CrinexMalformed, DifferencesWithoutArcsAndAbsurdOrders) {
  expect_body_error({kEpoch, "", "5"}, {kBody + 2, "no arc is running for it (expected n&v)"});
  expect_body_error({kEpoch, "", "10&5"}, {kBody + 2, "difference order above 9"});
  expect_body_error({kEpoch, "", "99999999999999999999&5"}, {kBody + 2, "order above 9"});
  // An empty field ends the arc: the next plain difference has nothing to add to.
  expect_body_error({kEpoch, "", "3&1 3&2", " ", "", " 3", " ", "", "4 3"},
                    {kBody + 8, "field 1 (\"4\") is a difference, but no arc"});
}

TEST(CrinexMalformed, NumbersBeyondTheirRange) {
  expect_body_error({kEpoch, "", "3&99999999999999999999"}, {kBody + 2, "outside the 64-bit range"});
  expect_body_error({kEpoch, "", "3&10000000000000"}, {kBody + 2, "too wide for a RINEX observation"});
  expect_body_error({kEpoch, "", "3&-1000000000000"}, {kBody + 2, "too wide"});
  expect_body_error({kEpoch, "", "1&9223372036854775807", " ", "", "1"},
                    {kBody + 2, "too wide"});
  // Sums that leave 64 bits are caught, never wrapped.
  expect_body_error({kEpoch, "", "1&9999999999999", " ", "", "9223372036854775807"},
                    {kBody + 5, "leave the 64-bit range"});
  // The largest values the column holds are fine.
  const auto edge = decode_text(crinex3({"G    2 C1C S1C"}, {kEpoch, "", "3&9999999999999 3&-999999999999"}));
  ASSERT_FALSE(edge.error) << edge.error_text();
  EXPECT_EQ(edge.body[1], "G059999999999.999  -999999999.999");
}

TEST(CrinexMalformed, EpochLines) {
  expect_body_error({" 2024 03 05"}, {kBody, "no complete epoch line came before it"});
  expect_body_error({"x 2024"}, {kBody, "starts with neither '>'"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  x  1      G05"}, {kBody, "epoch flag 'x'"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  ?      G05"}, {kBody, "no readable satellite or record count"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0"}, {kBody, "no readable satellite"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  3      G05G06"}, {kBody, "lists 3 satellites but holds 2"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  1      G05G06"}, {kBody, "more satellite ids than its count"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  2      G05G05"}, {kBody, "lists satellite G05 twice"});
  expect_parse_error(decode_text(crinex1("     1    C1", {"x24  3"})), {kBody, "neither '&'"});
}

TEST(CrinexMalformed, SatellitesAndFlags) {
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  1      R05", "", "3&1"},
                    {kBody + 2, "no observation types for this satellite's system"});
  expect_body_error({kEpoch, "", "3&1 3&2 1234 5"}, {kBody + 2, "flag string is longer than 2 characters for each of its 2"});
  // Blanks past the end of the flags mean "unchanged" and are harmless.
  EXPECT_FALSE(decode_text(crinex3({"G    2 C1C S1C"}, {kEpoch, "", "3&1 3&2 1234    "})).error);
}

TEST(CrinexMalformed, ClockLines) {
  expect_body_error({kEpoch, "7", "3&1"}, {kBody + 1, "compact clock line (\"7\") is a difference, but no clock arc"});
  expect_body_error({kEpoch, "x", "3&1"}, {kBody + 1, "compact clock line (\"x\") is neither"});
  expect_body_error({kEpoch, "1&100000000000000", "3&1"}, {kBody + 1, "too wide for its RINEX column"});
  expect_parse_error(decode_text(crinex1("     1    C1", {"&24  3  5 12  0  0.0000000  0  1G01", "1&100000000000", "1&1"})),
                     {kBody + 1, "too wide"});
}

TEST(CrinexMalformed, TruncatedFiles) {
  expect_body_error({kEpoch}, {kBody, "ends after the epoch line at line 5, before its clock line"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  0  2      G05G06", "", "3&1"},
                    {kBody + 2, "ends inside the epoch of line 5: 1 of its 2 satellite lines are missing"});
  expect_body_error({"> 2024 03 05 12 00  0.0000000  4  2", header_line("ONE", "COMMENT")},
                    {kBody + 1, "1 of its 2 special records are missing"});
  std::string cut = crinex3({"G    2 C1C S1C"}, {});
  cut.resize(cut.find("END OF HEADER") - 70);
  expect_parse_error(decode_text(cut), {3, "ends inside its header"});
}

TEST(CrinexMalformed, HeaderProblems) {
  const auto unknown = decode_text(testing::crinex_file("2.0", "3.04", {}, {}));
  expect_parse_error(unknown, {0, "unsupported compact RINEX (CRINEX) version \"2.0\""});
  expect_parse_error(decode_text(testing::crinex_file("1.0", "3.04", {}, {})),
                     {2, "compact RINEX 1.0 carries RINEX 2 files, but the header gives version \"3.04\""});
  expect_parse_error(decode_text(testing::crinex_file("3.0", "2.11", {}, {})), {2, "carries RINEX 3 and 4"});
  std::string no_version = testing::crinex_file("1.0", "2.11", {}, {});
  no_version.erase(no_version.find("     2.11"), 81);
  expect_parse_error(decode_text(no_version), {2, "has no RINEX VERSION / TYPE line"});
  expect_parse_error(decode_text(crinex1("  1000    C1", {})), {3, "unusable observation type count \"1000\""});
  expect_parse_error(decode_text(crinex3({"G   xx C1C"}, {})), {3, "unusable observation type count \"xx\""});
}

TEST(CrinexMalformed, ErrorsStayAndInnerErrorsPassThrough) {
  const std::string text = crinex3({"G    2 C1C S1C"}, {kEpoch, "", "oops"});
  auto opened = decode_if_crinex(testing::lines_of(text));
  ASSERT_TRUE(opened);
  std::string first_error;
  testing::drain(**opened, &first_error);
  EXPECT_NE(first_error.find("oops"), std::string::npos);
  auto again = (*opened)->next();
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().display(), first_error);

  auto failing = std::make_unique<testing::LineSplitter>(
      std::make_unique<testing::FailingByteSource>(crinex3({"G    2 C1C S1C"}, {kEpoch, "", "3&1"})));
  auto stacked = decode_if_crinex(std::move(failing));
  ASSERT_TRUE(stacked);
  std::string error;
  testing::drain(**stacked, &error);
  EXPECT_EQ(error, "I/O error: device unplugged");
}

TEST(CrinexMalformed, LargestEpochsDecode) {
  // 999 satellites (the most a count field holds) of systems with 999 types
  // (the most a type count holds); one satellite has a value in every field.
  std::string ids;
  Lines body = {"", ""};
  for (int k = 0; k < 999; ++k) {
    char id[8];
    std::snprintf(id, sizeof id, "%c%02d", 'A' + k / 100 % 26, k % 100);
    ids += id;
    body.push_back("");
  }
  body[0] = std::string("> 2024 03 05 12 00  0.0000000  0999      ") + ids;
  std::string full;
  for (int t = 0; t < 999; ++t) full += "1&-7 ";
  body[2] = full;
  Lines types;
  for (char system = 'A'; system <= 'J'; ++system) types.push_back(std::string(1, system) + "  999 C1C");
  const auto decoded = decode_text(crinex3(types, body));
  ASSERT_FALSE(decoded.error) << decoded.error_text();
  ASSERT_EQ(decoded.body.size(), 1000u);
  EXPECT_EQ(decoded.body[1].size(), 3u + 999u * 16u - 2u);
  EXPECT_EQ(decoded.body[2], "A01");
}

// Random damage to real files: the decoder must end, with lines or with an
// error of the parse kind, never crash or hang.
TEST(CrinexMalformed, RandomDamageNeverCrashes) {
  SKYLOAM_REQUIRE_TESTDATA();
  std::mt19937 random(20240305);
  for (const char* name : {"misc/delf0010.21d", "misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx"}) {
    const std::string original = testing::read_file(testing::testdata_path(name));
    const std::size_t body = original.find("END OF HEADER");
    for (int round = 0; round < 300; ++round) {
      std::string damaged = original;
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits; ++e) {
        const std::size_t at = body + random() % (damaged.size() - body);
        switch (random() % 4) {
          case 0: damaged[at] = "0123456789&- \n>x"[random() % 16]; break;
          case 1: damaged.erase(at, 1 + random() % 200); break;
          case 2: damaged.insert(damaged.begin() + static_cast<std::ptrdiff_t>(at), '\n'); break;
          default: damaged.resize(at); break;
        }
      }
      const auto decoded = decode_text(damaged);
      if (decoded.error) {
        EXPECT_EQ(decoded.error->kind(), ErrorKind::RinexParse) << decoded.error_text();
      }
    }
  }
}

}  // namespace
}  // namespace skyloam
