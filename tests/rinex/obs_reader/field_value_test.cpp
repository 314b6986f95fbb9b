#include "rinex/obs_reader/field_value.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace skyloam {
namespace {

// What trimming and the general parser give, as bits (NaN-safe equality).
std::optional<std::uint64_t> general(std::string_view text) {
  const auto value = parse_f64(trim(text));
  if (!value) return std::nullopt;
  return std::bit_cast<std::uint64_t>(*value);
}

std::optional<std::uint64_t> fast(std::string_view text) {
  const auto value = parse_field_value(text);
  if (!value) return std::nullopt;
  return std::bit_cast<std::uint64_t>(*value);
}

TEST(FieldValue, MatchesTheGeneralParserOnRandomFixedFormats) {
  std::mt19937_64 random(20240115);
  char text[64];
  for (int i = 0; i < 200000; ++i) {
    const int decimals = static_cast<int>(random() % 8);
    const double magnitude = std::ldexp(static_cast<double>(random() % (1ull << 53)),
                                        -static_cast<int>(random() % 60));
    const double value = (random() % 3 == 0) ? -magnitude : magnitude;
    std::snprintf(text, sizeof text, "%14.*f", decimals, value);
    const std::string_view field(text, std::min<std::size_t>(14, std::strlen(text)));
    ASSERT_EQ(fast(field), general(field)) << '"' << field << '"';
  }
}

TEST(FieldValue, UnusualFormsTakeTheGeneralPath) {
  for (const char* text :
       {"", "              ", "  -0.000", "+5", "1.", ".5", "-.5", "  1e3", "1.5E+03",
        "  inf", "nan", "- 5", "12 34", "1.2.3", ".", "-", "+", "1.2D+03", "\t42.0",
        "42.0\xC2\xA0", "\xC2\xA0" "42.0", "99999999999999999999", "123456789012.34",
        "0.0000000000001", "1234567890123456789"}) {
    EXPECT_EQ(fast(text), general(text)) << '"' << text << '"';
  }
  EXPECT_FALSE(parse_field_value("              "));
  EXPECT_EQ(parse_field_value("  40123456.789"), 40123456.789);
}

TEST(FieldValue, Indicators) {
  EXPECT_EQ(indicator_at("xx7", 2), 7);
  EXPECT_EQ(indicator_at("xx ", 2), kNoIndicator);
  EXPECT_EQ(indicator_at("xxA", 2), kNoIndicator);
  EXPECT_EQ(indicator_at("xx", 2), kNoIndicator);
}

}  // namespace
}  // namespace skyloam

namespace skyloam {
namespace {

// field_or's integers against trimming and parse_int, for the types the
// epoch lines use.
template <class T>
void expect_integer_fields_as_general(std::mt19937_64& random) {
  static constexpr char kAlphabet[] = "  0123456789-+\tx";
  for (int i = 0; i < 100000; ++i) {
    std::string text(random() % 12, ' ');
    for (char& c : text) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
    const auto general = parse_int<T>(trim(text));
    const T expected = general ? *general : T{77};
    ASSERT_EQ(field_or<T>(text, 0, text.size(), T{77}), expected) << '"' << text << '"';
  }
}

TEST(FieldValue, IntegerFieldsReadAsTheGeneralParserReadsThem) {
  std::mt19937_64 random(16);
  expect_integer_fields_as_general<std::uint8_t>(random);
  expect_integer_fields_as_general<std::uint32_t>(random);
  expect_integer_fields_as_general<std::int32_t>(random);
  EXPECT_EQ(field_or<std::uint8_t>("  256", 0, 5, std::uint8_t{7}), 7);
  EXPECT_EQ(field_or<std::uint32_t>(" 4294967295 ", 0, 12, 7u), 4294967295u);
}

}  // namespace
}  // namespace skyloam
