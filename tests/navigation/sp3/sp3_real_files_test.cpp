// Every SP3 file of the shared test data, versions a to d.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>

#include "navigation/sp3/sp3_reader.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

struct Expected {
  const char* file;
  std::size_t satellites;
  std::uint64_t declared_epochs;
  double interval;
  std::size_t records;
};

void PrintTo(const Expected& e, std::ostream* out) { *out << e.file; }

class RealSp3File : public ::testing::TestWithParam<Expected> {};

TEST_P(RealSp3File, ReadsAsCounted) {
  SKYLOAM_REQUIRE_TESTDATA();
  const Expected& expected = GetParam();
  const Result<Sp3Data> data = read_sp3(testing::testdata_path(std::string("sp3/") + expected.file));
  ASSERT_TRUE(data.has_value()) << data.error().display();
  EXPECT_EQ(data->num_satellites(), expected.satellites);
  EXPECT_EQ(data->num_epochs(), expected.declared_epochs);
  EXPECT_EQ(data->interval(), expected.interval);
  std::size_t records = 0;
  for (const SatelliteOrbit& orbit : data->orbits()) {
    records += orbit.records().size();
    EXPECT_TRUE(orbit.time_ordered()) << to_string(orbit.satellite());
    for (const Sp3Record& r : orbit.records()) {
      // Stored positions lie in the orbit shell, never at the Earth's centre.
      const double radius = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
      EXPECT_GT(radius, 6.0e6) << to_string(orbit.satellite());
      EXPECT_LT(radius, 5.0e7) << to_string(orbit.satellite());
      EXPECT_LE(std::fabs(r.clock), 900000.0);
    }
  }
  EXPECT_EQ(records, expected.records);
}

INSTANTIATE_TEST_SUITE_P(
    Sp3, RealSp3File,
    ::testing::Values(
        Expected{"igs18590.sp3", 31, 96, 900.0, 2976},
        Expected{"igs18591.sp3", 31, 96, 900.0, 2976},
        // Truncated, no EOF line; G04's bad clocks are all dropped.
        Expected{"igs19016.sp3", 31, 96, 900.0, 279},
        Expected{"GRG0MGXFIN_20201770000_01D_15M_ORB.SP3", 75, 96, 900.0, 7200},
        // Windows line ends; 118 bad clocks.
        Expected{"Sta21114.sp3", 121, 97, 900.0, 11619},
        Expected{"COD0MGXFIN_20211180000_01D_05M_ORB.SP3", 116, 289, 300.0, 8351},
        // SP3-a: records without system letter are GPS; no EOF line.
        Expected{"example1.sp3a", 7, 96, 900.0, 19},
        // 40 missing (all-zero) positions dropped.
        Expected{"example-c-1.sp3", 8, 2, 900.0, 12},
        // G01 at 00:15 is written "0.00000" in x: still a missing position.
        Expected{"example-d-1.sp3", 12, 3, 900.0, 25},
        // Velocity records (V) and correlation records (EP/EV) are skipped.
        Expected{"test_input_SP3b.sp3", 29, 4, 900.0, 116},
        Expected{"test_input_SP3d.sp3", 101, 2, 900.0, 196}),
    [](const ::testing::TestParamInfo<Expected>& param) {
      std::string name = param.param.file;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(RealSp3Details, ListsAndDropsTheRightSatellites) {
  SKYLOAM_REQUIRE_TESTDATA();
  const auto igs = read_sp3(testing::testdata_path("sp3/igs19016.sp3"));
  ASSERT_TRUE(igs.has_value());
  EXPECT_EQ(igs->orbit(Satellite{GnssSystem::GPS, 4}), nullptr);
  for (const SatelliteOrbit& orbit : igs->orbits()) EXPECT_EQ(orbit.records().size(), 9u);

  const auto sp3a = read_sp3(testing::testdata_path("sp3/example1.sp3a"));
  ASSERT_TRUE(sp3a.has_value());
  std::string listed;
  for (const Satellite& s : sp3a->satellites()) listed += to_string(s) + " ";
  EXPECT_EQ(listed, "G01 G02 G04 G05 G28 G29 G31 ");
  const Sp3Record& first = sp3a->orbit(Satellite{GnssSystem::GPS, 1})->records()[0];
  EXPECT_EQ(first.x, 16258524.75);
  EXPECT_EQ(first.clock, -62.5406);

  const auto mixed = read_sp3(testing::testdata_path("sp3/Sta21114.sp3"));
  ASSERT_TRUE(mixed.has_value());
  EXPECT_EQ(to_string(mixed->satellites().front()), "C01");
  EXPECT_EQ(to_string(*mixed), "Sp3Data(satellites=121, epochs=97, interval=900s)");
}

}  // namespace
}  // namespace skyloam
