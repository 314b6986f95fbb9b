// Mangled SP3 text: the reader must neither fail nor store anything unusable,
// and interpolation on what it stores must stay finite or absent.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "navigation/sp3/orbit_interpolation.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "navigation/sp3/sp3_text.hpp"
#include "support/temp_folder.hpp"

namespace skyloam {
namespace {

using namespace skyloam::testing;

// Lines of a plausible file, each then damaged at random: cut short,
// characters swapped for digits, signs, blanks, letters or multi-byte
// characters, or the line replaced by noise.
std::string mangled_sp3(std::uint32_t seed, int lines) {
  std::mt19937 random(seed);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  static const char* const kPieces[] = {"0", "7", " ", ".", "-", "+", "e", "nan", "inf", "G", "R",
                                        "P", "*", "#", "\xC3\xA9", "\xE2\x82\xAC", "\t", "\r", "9"};
  std::string text = sp3_header_line("96") + "\n" + sp3_time_line("900.0") + "\n";
  for (int i = 0; i < lines; ++i) {
    std::string line;
    switch (pick(6)) {
      case 0: line = sp3_epoch_line(pick(30), pick(70), pick(600) / 10.0); break;
      case 5: line = std::string(static_cast<std::size_t>(pick(90)), 'x'); break;
      default: {
        const char sat[4] = {"GRECJ "[pick(6)], static_cast<char>('0' + pick(4)),
                             static_cast<char>('0' + pick(10)), 0};
        line = sp3_position_line(sat, pick(60000) - 30000.0, pick(60000) - 30000.0,
                                 pick(60000) - 30000.0, pick(2000) - 1000.0);
      }
    }
    for (int damage = pick(4); damage > 0 && !line.empty(); --damage) {
      // Whole characters only: the text stays valid UTF-8.
      std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(line.size())));
      while (at > 0 && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80) --at;
      std::size_t length = 1;
      while (at + length < line.size() &&
             (static_cast<unsigned char>(line[at + length]) & 0xC0) == 0x80) {
        ++length;
      }
      if (pick(4) == 0) {
        line.resize(at);
      } else {
        line.replace(at, length, kPieces[pick(std::size(kPieces))]);
      }
    }
    text += line + (pick(10) == 0 ? "\r\n" : "\n");
  }
  return text;
}

TEST(Sp3Garbage, NothingUnusableIsStoredAndInterpolationStaysFinite) {
  int interpolated = 0, unordered = 0;
  const testing::TempFolder folder;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const Result<Sp3Data> data = read_sp3(folder.write("garbage.sp3", mangled_sp3(seed, 3000)));
    ASSERT_TRUE(data.has_value()) << data.error().display();
    for (std::size_t i = 1; i < data->satellites().size(); ++i) {
      EXPECT_LT(data->satellites()[i - 1], data->satellites()[i]);
    }
    for (const SatelliteOrbit& orbit : data->orbits()) {
      ASSERT_FALSE(orbit.records().empty());
      unordered += !orbit.time_ordered();
      for (const Sp3Record& r : orbit.records()) {
        EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z) &&
                    std::isfinite(r.epoch.second));
        EXPECT_FALSE(r.x == 0.0 && r.y == 0.0 && r.z == 0.0);
        EXPECT_LE(std::fabs(r.clock), 900000.0);
      }
      for (const double hours : {-5.0, 0.0, 3.3, 12.0, 30.0}) {
        const Epoch target{2020, 6, 25, static_cast<std::uint32_t>(std::fabs(hours)), 7, 1.5};
        if (const auto state = interpolate(orbit, target)) {
          ++interpolated;
          EXPECT_TRUE(std::isfinite(state->x) && std::isfinite(state->vz) &&
                      std::isfinite(state->clock));
        }
      }
    }
  }
  // The damage leaves enough usable records to exercise both search paths.
  EXPECT_GT(interpolated, 100);
  EXPECT_GT(unordered, 10);
}

}  // namespace
}  // namespace skyloam
