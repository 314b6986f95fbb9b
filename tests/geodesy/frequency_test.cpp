#include "geodesy/frequency.hpp"

#include <gtest/gtest.h>

namespace skyloam {
namespace {

TEST(CarrierFrequency, TableEntries) {
  EXPECT_EQ(carrier_frequency(U'G', 1, std::nullopt), 1575420000.0);
  EXPECT_EQ(carrier_frequency(U'E', 8, std::nullopt), 1191795000.0);
  EXPECT_EQ(carrier_frequency(U'C', 2, std::nullopt), 1561098000.0);
  EXPECT_EQ(carrier_frequency(U'I', 9, std::nullopt), 2492028000.0);
  EXPECT_EQ(carrier_frequency(U'J', 6, std::nullopt), 1278750000.0);
  for (auto [letter, band] : {std::pair{U'G', 3}, {U'M', 1}, {U'G', 0}, {U'g', 1}, {U'C', 8},
                              {U'G', 6}, {U'S', 2}, {U'R', 4}}) {
    EXPECT_FALSE(carrier_frequency(letter, static_cast<std::uint8_t>(band), std::nullopt));
  }
}

TEST(CarrierFrequency, GlonassChannels) {
  EXPECT_EQ(carrier_frequency(U'R', 1, std::nullopt), 1602000000.0);
  EXPECT_EQ(carrier_frequency(U'R', 1, std::int8_t{-7}), 1598062500.0);
  EXPECT_EQ(carrier_frequency(U'R', 2, std::int8_t{6}), 1248625000.0);
  EXPECT_EQ(carrier_frequency(U'R', 3, std::int8_t{5}), 1202025000.0);
  EXPECT_EQ(carrier_frequency(U'R', 1, std::int8_t{-128}), 1602000000.0 - 128 * 562500.0);
}

}  // namespace
}  // namespace skyloam
