#include "navigation/broadcast/nav_number.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace skyloam {
namespace {

TEST(NavNumber, FormsOfRealFiles) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {" 0.560000000000E+02", 56.0},
      {"-0.787500000000D+01", -7.875},
      {"  .579084269702D-03", 0.579084269702e-3},
      {" -.324845314026d-05", -0.324845314026e-5},
      {"-0.000000000000e+00", -0.0},
      {"+1.5", 1.5},
      {"7", 7.0},
      {"2.217949529358D-10", 2.217949529358e-10},
      {" 1.234567890123456789012E+00", 1.234567890123456789012},  // beyond the fast path
  };
  for (const Case& c : cases) {
    const double parsed = parse_nav_number(c.text);
    EXPECT_EQ(parsed, c.value) << c.text;
    EXPECT_EQ(std::signbit(parsed), std::signbit(c.value)) << c.text;
  }
}

TEST(NavNumber, MissingFields) {
  for (const char* text :
       {"", "                   ", " .999999999999e+09", "0.999999999999E+09", "1.0E", "1.0E+",
        "1.2.3", "--1", "+-1", ".", "E+05", "1e999", "nan", "inf", "12x", "1 2"}) {
    EXPECT_TRUE(std::isnan(parse_nav_number(text))) << '"' << text << '"';
  }
}

TEST(NavNumber, FastPathGivesTheCorrectlyRoundedValue) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-30, 7);  // below the unknown marker
  for (int i = 0; i < 20000; ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "%19.12E",
                  mantissa(random) * std::pow(10.0, exponent(random)));
    double expected = 0.0;
    std::from_chars(text + (text[0] == ' '), text + std::string(text).size(), expected);
    std::string with_d = text;
    with_d[with_d.find('E')] = 'D';
    ASSERT_EQ(parse_nav_number(with_d), expected) << text;
  }
}

}  // namespace
}  // namespace skyloam
