// The arithmetic and text pieces of compact RINEX decoding, at their edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "rinex/compressed/compact_field.hpp"
#include "rinex/compressed/difference_arc.hpp"
#include "rinex/compressed/fixed_point_format.hpp"
#include "rinex/compressed/text_difference.hpp"

namespace skyloam {
namespace {

std::string fixed(std::int64_t scaled, int decimals, int width) {
  std::string out(static_cast<std::size_t>(width), '?');
  if (!write_fixed_point(scaled, decimals, width, out.data())) return "<too wide>";
  return out;
}

TEST(FixedPoint, SignZerosAndWidth) {
  EXPECT_EQ(fixed(12345, 3, 14), "        12.345");
  EXPECT_EQ(fixed(-250, 3, 14), "        -0.250");
  EXPECT_EQ(fixed(0, 3, 14), "         0.000");
  EXPECT_EQ(fixed(-5, 3, 14), "        -0.005");
  EXPECT_EQ(fixed(-123456, 9, 12), "-0.000123456");
  EXPECT_EQ(fixed(-1, 12, 15), "-0.000000000001");
  EXPECT_EQ(fixed(9'999'999'999'999, 3, 14), "9999999999.999");
  EXPECT_EQ(fixed(-999'999'999'999, 3, 14), "-999999999.999");
  EXPECT_EQ(fixed(10'000'000'000'000, 3, 14), "<too wide>");
  EXPECT_EQ(fixed(-1'000'000'000'000, 3, 14), "<too wide>");
  EXPECT_EQ(fixed(std::numeric_limits<std::int64_t>::min(), 3, 24), "   -9223372036854775.808");
  EXPECT_FALSE(fits_fixed_point(std::numeric_limits<std::int64_t>::min(), 12, 15));
}

TEST(TextDifference, BlankKeepsAmpersandBlanksOthersReplace) {
  std::string text = "> 2024 03 05 12 00 30.0000000  0  2      G05G12";
  apply_text_difference(text, "                 1 &              1         &&&");
  EXPECT_EQ(text, "> 2024 03 05 12 01  0.0000000  0  1      G05   ");
  std::string shorter = "ab";
  apply_text_difference(shorter, "   &x");  // grows; blanks past the end stay blanks
  EXPECT_EQ(shorter, "ab  x");
  std::string unchanged = "abc";
  apply_text_difference(unchanged, "");
  EXPECT_EQ(unchanged, "abc");
}

TEST(CompactField, Forms) {
  const auto start = parse_compact_field("3&-21000123456");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->kind, CompactField::Kind::ArcStart);
  EXPECT_EQ(start->order, 3);
  EXPECT_EQ(start->number, -21000123456);
  const auto difference = parse_compact_field("-9223372036854775808");
  ASSERT_TRUE(difference);
  EXPECT_EQ(difference->kind, CompactField::Kind::Difference);
  EXPECT_EQ(difference->number, std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(parse_compact_field("")->kind, CompactField::Kind::Empty);
  EXPECT_EQ(parse_compact_field("0&0")->order, 0);
  EXPECT_EQ(parse_compact_field("9223372036854775808").error(), CompactFieldError::OutOfRange);
  EXPECT_EQ(parse_compact_field("10&1").error(), CompactFieldError::OrderTooHigh);
  for (const char* bad : {"&1", "1&", "1&&2", "-", "+", "1 2", "1.0", "1e3", "-3&1", "3&1&2", "0x10"}) {
    EXPECT_EQ(parse_compact_field(bad).error(), CompactFieldError::Malformed) << bad;
  }
}

// Values of a cubic sequence through arcs of every order: the arc must give
// each value back from the differences a writer would send.
TEST(DifferenceArc, RestoresPolynomialsAtEveryOrder) {
  const auto value_at = [](std::int64_t t) { return 7 * t * t * t - 3 * t * t + 11 * t - 5; };
  for (int order = 0; order <= DifferenceArc::kMaxOrder; ++order) {
    // The writer's side: differences up to `order` of the values so far.
    std::vector<std::vector<std::int64_t>> table;
    DifferenceArc arc;
    for (std::int64_t t = 0; t < 20; ++t) {
      table.push_back({value_at(t)});
      const int taken = std::min<int>(static_cast<int>(t), order);
      for (int j = 1; j <= taken; ++j) table[t].push_back(table[t][j - 1] - table[t - 1][j - 1]);
      if (t == 0) {
        arc.start(order, value_at(0));
      } else {
        ASSERT_TRUE(arc.advance(table[t][taken]));
      }
      ASSERT_EQ(arc.value(), value_at(t)) << "order " << order << " epoch " << t;
    }
  }
}

TEST(DifferenceArc, OverflowIsReportedNotWrapped) {
  DifferenceArc arc;
  arc.start(1, std::numeric_limits<std::int64_t>::max() - 1);
  EXPECT_TRUE(arc.advance(1));
  EXPECT_FALSE(arc.advance(1));
  arc.start(2, std::numeric_limits<std::int64_t>::min());
  EXPECT_FALSE(arc.advance(-1));
}

}  // namespace
}  // namespace skyloam
