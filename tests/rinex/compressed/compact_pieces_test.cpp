// The arithmetic and text pieces of compact RINEX decoding, at their edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "rinex/compressed/compact_field.hpp"
#include "rinex/compressed/difference_arc.hpp"
#include "rinex/compressed/fixed_point_format.hpp"
#include "rinex/compressed/text_difference.hpp"

namespace skyloam {
namespace {

template <int Decimals, int Width>
std::string fixed(std::int64_t scaled) {
  std::string out(static_cast<std::size_t>(Width), '?');
  if (!write_fixed_point<Decimals, Width>(scaled, out.data())) return "<too wide>";
  return out;
}

TEST(FixedPoint, SignZerosAndWidth) {
  EXPECT_EQ((fixed<3, 14>(12345)), "        12.345");
  EXPECT_EQ((fixed<3, 14>(-250)), "        -0.250");
  EXPECT_EQ((fixed<3, 14>(0)), "         0.000");
  EXPECT_EQ((fixed<3, 14>(-5)), "        -0.005");
  EXPECT_EQ((fixed<3, 14>(1'000'000)), "      1000.000");
  EXPECT_EQ((fixed<9, 12>(-123456)), "-0.000123456");
  EXPECT_EQ((fixed<12, 15>(-1)), "-0.000000000001");
  EXPECT_EQ((fixed<3, 14>(9'999'999'999'999)), "9999999999.999");
  EXPECT_EQ((fixed<3, 14>(-999'999'999'999)), "-999999999.999");
  EXPECT_EQ((fixed<3, 14>(10'000'000'000'000)), "<too wide>");
  EXPECT_EQ((fixed<3, 14>(-1'000'000'000'000)), "<too wide>");
  EXPECT_EQ((fixed<3, 24>(std::numeric_limits<std::int64_t>::min())), "   -9223372036854775.808");
  EXPECT_EQ((fixed<3, 24>(std::numeric_limits<std::int64_t>::max())), "    9223372036854775.807");
  EXPECT_FALSE((fits_fixed_point<12, 15>(std::numeric_limits<std::int64_t>::min())));
}

// The observation writer gives write_fixed_point<3, 14>'s text, or refuses
// as it does, at the edges of the range and on random values of every length.
TEST(FixedPoint, ObservationWriterWritesTheGeneralText) {
  std::mt19937_64 random(14);
  std::vector<std::int64_t> values = {0, -1, 999, -999, 1000, 9'999'999'999'999, -999'999'999'999,
                                      10'000'000'000'000, -1'000'000'000'000,
                                      std::numeric_limits<std::int64_t>::min()};
  for (int i = 0; i < 200000; ++i) {
    std::int64_t value = static_cast<std::int64_t>(random() % 20'000'000'000'000ULL) - 2'000'000'000'000;
    values.push_back(value >> (random() % 44));
  }
  for (const std::int64_t value : values) {
    std::string out(14, '?');
    const std::string fast = write_f14_3(value, out.data()) ? out : "<too wide>";
    ASSERT_EQ(fast, (fixed<3, 14>(value))) << value;
  }
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
  EXPECT_EQ(parse_compact_field("03&5")->order, 3);
  EXPECT_EQ(parse_compact_field("9223372036854775808").error(), CompactFieldError::OutOfRange);
  EXPECT_EQ(parse_compact_field("-9223372036854775809").error(), CompactFieldError::OutOfRange);
  EXPECT_EQ(parse_compact_field("3&99999999999999999999").error(), CompactFieldError::OutOfRange);
  EXPECT_EQ(parse_compact_field("+7")->number, 7);
  EXPECT_EQ(parse_compact_field("-999999999999999999")->number, -999999999999999999);
  EXPECT_EQ(parse_compact_field("-0")->number, 0);
  EXPECT_EQ(parse_compact_field("10&1").error(), CompactFieldError::OrderTooHigh);
  for (const char* bad : {"&1", "1&", "1&&2", "-", "+", "1 2", "1.0", "1e3", "-3&1", "+3&1", "3&1&2", "0x10", "3&-",
                          "12-"}) {
    EXPECT_EQ(parse_compact_field(bad).error(), CompactFieldError::Malformed) << bad;
  }
}

// Values of a cubic sequence through arcs of every order: the arc must give
// each value back from the differences a writer would send.
// The inline reading of the usual difference field gives what the general
// reading gives: the same field or error, the cursor left in the same place.
TEST(CompactField, UsualDifferencesReadAsTheGeneralReaderReadsThem) {
  static constexpr char kAlphabet[] = "0123456789-+& x";
  std::mt19937_64 random(13);
  for (int i = 0; i < 300000; ++i) {
    std::string text(random() % 24, ' ');
    const std::size_t digits_from = random() % 3;
    for (std::size_t k = 0; k < text.size(); ++k) {
      text[k] = k >= digits_from && random() % 8 != 0 ? static_cast<char>('0' + random() % 10)
                                                      : kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    const char* end = text.data() + text.size();
    const char* fast_cursor = text.data();
    const char* general_cursor = text.data();
    const auto fast = scan_compact_field(fast_cursor, end);
    const auto general = scan_any_compact_field(general_cursor, end);
    ASSERT_EQ(fast_cursor, general_cursor) << '"' << text << '"';
    ASSERT_EQ(fast.has_value(), general.has_value()) << '"' << text << '"';
    if (fast) {
      ASSERT_EQ(fast->kind, general->kind) << '"' << text << '"';
      ASSERT_EQ(fast->order, general->order) << '"' << text << '"';
      ASSERT_EQ(fast->number, general->number) << '"' << text << '"';
    } else {
      ASSERT_EQ(fast.error(), general.error()) << '"' << text << '"';
    }
  }
}

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
