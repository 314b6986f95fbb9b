#include "utils/text/number_parse.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace skyloam {
namespace {

TEST(ParseInt, AcceptsOptionalSignAndDigitsOnly) {
  EXPECT_EQ(parse_int<std::uint32_t>("+42").value(), 42u);
  EXPECT_EQ(parse_int<std::int32_t>("-2147483648").value(), INT32_MIN);
  EXPECT_EQ(parse_int<std::uint32_t>("4294967295").value(), 4294967295u);
  EXPECT_EQ(parse_int<std::uint8_t>("255").value(), 255);
}

TEST(ParseInt, ReportsTheStandardReasons) {
  EXPECT_EQ(parse_int<std::uint32_t>("").error(), IntParseError::Empty);
  EXPECT_EQ(parse_int<std::uint32_t>("-5").error(), IntParseError::InvalidDigit);
  EXPECT_EQ(parse_int<std::uint32_t>("+").error(), IntParseError::InvalidDigit);
  EXPECT_EQ(parse_int<std::int32_t>("-").error(), IntParseError::InvalidDigit);
  EXPECT_EQ(parse_int<std::uint32_t>(" 5").error(), IntParseError::InvalidDigit);
  EXPECT_EQ(parse_int<std::uint32_t>("4294967296").error(), IntParseError::PosOverflow);
  EXPECT_EQ(parse_int<std::int32_t>("-2147483649").error(), IntParseError::NegOverflow);
  EXPECT_EQ(parse_int<std::uint8_t>("256").error(), IntParseError::PosOverflow);
  EXPECT_EQ(to_gnss_error(IntParseError::InvalidDigit).display(),
            "Integer parse error: invalid digit found in string");
}

TEST(ParseF64, AcceptsDecimalExponentAndSpecialSpellings) {
  EXPECT_EQ(parse_f64("23619095.450").value(), 23619095.450);
  EXPECT_EQ(parse_f64("-.5").value(), -0.5);
  EXPECT_EQ(parse_f64("1.").value(), 1.0);
  EXPECT_EQ(parse_f64("+1.5E+3").value(), 1500.0);
  EXPECT_TRUE(std::isinf(parse_f64("-Infinity").value()));
  EXPECT_TRUE(std::isnan(parse_f64("NaN").value()));
  EXPECT_TRUE(std::isinf(parse_f64("1e400").value()));
  EXPECT_EQ(parse_f64("-1e-400").value(), 0.0);
  EXPECT_TRUE(std::signbit(parse_f64("-1e-400").value()));
}

TEST(ParseF64, RejectsWhatIsNotAPlainLiteral) {
  EXPECT_EQ(parse_f64("").error(), FloatParseError::Empty);
  for (const char* bad : {"+", ".", "1e", "e5", "+-1", "0x10", "nan(1)", " 1", "1 ", "1,5", "inf x"}) {
    EXPECT_EQ(parse_f64(bad).error(), FloatParseError::Invalid) << bad;
  }
  EXPECT_EQ(to_gnss_error(FloatParseError::Invalid).display(),
            "Float parse error: invalid float literal");
}

}  // namespace
}  // namespace skyloam
