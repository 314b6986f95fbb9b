#include "utils/text/format.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace skyloam {
namespace {

TEST(Format, FixedAndShortestForms) {
  EXPECT_EQ(format_fixed(3875000.1234, 3), "3875000.123");
  EXPECT_EQ(format_fixed(0.31274, 4), "0.3127");
  EXPECT_EQ(format_shortest(900.0), "900");
  EXPECT_EQ(format_shortest(0.5), "0.5");
  EXPECT_EQ(format_shortest(1e21), "1000000000000000000000");
  EXPECT_EQ(format_shortest(0.1), "0.1");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(format_fixed(nan, 3), "NaN");
  EXPECT_EQ(format_shortest(-inf), "-inf");
}

}  // namespace
}  // namespace skyloam
