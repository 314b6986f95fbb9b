#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "rinex/types/gnss_system.hpp"
#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam {
namespace {

TEST(GnssSystem, ParsesTheFirstCharacterOnly) {
  EXPECT_EQ(parse_system("galileo").value(), GnssSystem::GPS);
  EXPECT_EQ(parse_system("e").value(), GnssSystem::Galileo);
  EXPECT_EQ(parse_system("E5").value(), GnssSystem::Galileo);
  EXPECT_EQ(parse_system("").error().display(), "Empty system code");
  EXPECT_EQ(parse_system("BeiDou").error().display(), "Unknown system: BeiDou");
  EXPECT_EQ(short_name_of_text("r"), "GLO");
  EXPECT_EQ(short_name_of_text("X"), "GPS");
  EXPECT_EQ(short_name_of_text(""), "GPS");
}

TEST(Satellite, ParsesTrimmedLetterAndNumber) {
  for (const char* good : {"G01", "G1", "g01", " G 07 ", "E+5", "M3", "C123"}) {
    EXPECT_TRUE(parse_satellite(good).has_value()) << good;
  }
  for (const char* bad : {"G", "01", " 1", "X01", "G-1", "G1a", "G 1 2", "G4294967296", "G+"}) {
    EXPECT_FALSE(parse_satellite(bad).has_value()) << bad;
  }
  EXPECT_EQ(to_string(*parse_satellite("G1")), "G01");
  EXPECT_EQ(to_string(*parse_satellite("C123")), "C123");
  EXPECT_EQ(parse_satellite("g0")->prn, 0u);
}

TEST(Satellite, SortsByCodeLetterThenNumber) {
  std::vector<Satellite> sats;
  for (const char* id : {"G02", "R01", "E11", "C05", "G10", "G100", "G99", "S20", "J01"}) {
    sats.push_back(*parse_satellite(id));
  }
  std::sort(sats.begin(), sats.end());
  std::vector<std::string> ids;
  for (const auto& s : sats) ids.push_back(to_string(s));
  EXPECT_EQ(ids, (std::vector<std::string>{"C05", "E11", "G02", "G10", "G99", "G100", "J01",
                                            "R01", "S20"}));
}

TEST(ObsCode, ParsesThreeCharacterCodes) {
  const auto snr = parse_obs_code("s1c");
  ASSERT_TRUE(snr);
  EXPECT_EQ(snr->kind, ObsKind::Snr);
  EXPECT_EQ(snr->band, 1);
  EXPECT_EQ(to_string(*snr), "S1C");
  EXPECT_EQ(to_string(*parse_obs_code(" L2w ")), "L2W");
  EXPECT_EQ(to_string(*parse_obs_code("X1C")), "X1C");
  for (const char* bad : {"C1", "C1CX", "Q1C", "CAC", ""}) {
    EXPECT_FALSE(parse_obs_code(bad).has_value()) << bad;
  }
  EXPECT_TRUE(text_less(*parse_obs_code("C2W"), *parse_obs_code("D1C")));
  EXPECT_TRUE(text_less(*parse_obs_code("L1C"), *parse_obs_code("L1W")));
}

}  // namespace
}  // namespace skyloam
