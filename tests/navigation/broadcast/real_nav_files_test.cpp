// Broadcast orbits of the shared real files: the accuracy goals against
// same-day SP3 orbits, the records real files hold that must be dropped,
// and the choice of ephemeris.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "navigation/broadcast/gnss_time.hpp"
#include "navigation/broadcast/nav_reader.hpp"
#include "navigation/elevation_batch.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

NavData read_nav_shared(const std::string& file) {
  Result<NavData> data = read_nav_file(testing::testdata_path("nav/" + file));
  EXPECT_TRUE(data.has_value()) << file << ": " << data.error().display();
  return data ? std::move(*data) : NavData();
}

Sp3Data read_sp3_shared(const std::string& file) {
  Result<Sp3Data> data = read_sp3(testing::testdata_path("sp3/" + file));
  EXPECT_TRUE(data.has_value()) << file;
  return data ? std::move(*data) : Sp3Data();
}

bool beidou_geo(const Satellite& s) {
  return s.system == GnssSystem::BeiDou && (s.prn <= 5 || s.prn >= 59);
}

struct Goal {
  double rms;  // metres, 3D over the day
  double max;  // metres, any one satellite-epoch
};

struct Errors {
  std::size_t count = 0;
  double sum_squares = 0.0;
  double max = 0.0;
};

// Per system letter ('c' for BeiDou GEO): the errors of the broadcast
// positions at the SP3 records' own epochs.
std::map<char, Errors> errors_at_sp3_epochs(const NavData& nav, const Sp3Data& sp3,
                                            const std::string& systems) {
  std::map<char, Errors> errors;
  for (const SatelliteOrbit& orbit : sp3.orbits()) {
    const char letter = system_code(orbit.satellite().system);
    if (systems.find(letter) == std::string::npos) continue;
    Errors& e = errors[beidou_geo(orbit.satellite()) ? 'c' : letter];
    for (const Sp3Record& record : orbit.records()) {
      const auto p = nav.position(orbit.satellite(), record.epoch);
      if (!p) continue;
      const double error = distance(*p, {record.x, record.y, record.z});
      ++e.count;
      e.sum_squares += error * error;
      e.max = std::max(e.max, error);
    }
  }
  return errors;
}

void expect_goals(const std::map<char, Errors>& errors, const std::map<char, Goal>& goals) {
  for (const auto& [letter, goal] : goals) {
    const auto it = errors.find(letter);
    ASSERT_NE(it, errors.end()) << letter;
    const Errors& e = it->second;
    ASSERT_GT(e.count, 50u) << letter;
    EXPECT_LE(std::sqrt(e.sum_squares / e.count), goal.rms) << letter;
    EXPECT_LE(e.max, goal.max) << letter;
  }
}

TEST(RealNavFiles, EsbcDayAgainstPreciseOrbits) {
  SKYLOAM_REQUIRE_TESTDATA();
  const NavData nav = read_nav_shared("ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  expect_goals(
      errors_at_sp3_epochs(nav, read_sp3_shared("GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"), "GRE"),
      {{'G', {2.0, 20.0}}, {'E', {2.0, 20.0}}, {'R', {5.0, 20.0}}});
  expect_goals(errors_at_sp3_epochs(nav, read_sp3_shared("Sta21114.sp3"), "CJ"),
               {{'C', {5.0, 20.0}}, {'c', {30.0, 60.0}}, {'J', {5.0, 20.0}}});
}

TEST(RealNavFiles, Rinex2DayAgainstPreciseOrbits) {
  SKYLOAM_REQUIRE_TESTDATA();
  const NavData nav = read_nav_shared("arlm200a.15n");
  EXPECT_EQ(nav.leap_seconds(), 17);
  expect_goals(errors_at_sp3_epochs(nav, read_sp3_shared("test_input_sp3_nav_2015_200.sp3"), "G"),
               {{'G', {2.0, 20.0}}});
}

TEST(RealNavFiles, TestAndStaleRecordsAreDropped) {
  SKYLOAM_REQUIRE_TESTDATA();
  // ELKO: BeiDou test records (C16 with e = 0.49, toe days from toc).
  const NavData elko = read_nav_shared("ELKO00USA_R_20182100000_01D_MN.rnx.gz");
  EXPECT_EQ(elko.ephemerides(*parse_satellite("C16")), nullptr);
  // HERT: G01's one record is unhealthy and from 2023, in a file of 2024-04-01.
  const NavData hert = read_nav_shared("HERT00GBR_R_20240920000_01D_GN.rnx.gz");
  EXPECT_EQ(hert.ephemerides(*parse_satellite("G01")), nullptr);
  EXPECT_EQ(hert.satellites().size(), 31u);
  const double day_start = *seconds_since_gps_origin({2024, 3, 31});
  for (const Satellite& satellite : hert.satellites()) {
    EXPECT_GT(hert.ephemerides(satellite)->list().front().reference, day_start);
  }
  // ESBC: E14 and E18 are flagged unhealthy, SBAS records "do not use".
  const NavData esbc = read_nav_shared("ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  EXPECT_EQ(esbc.ephemerides(*parse_satellite("E14")), nullptr);
  EXPECT_EQ(esbc.ephemerides(*parse_satellite("S23")), nullptr);
}

TEST(RealNavFiles, MergedFileOfEveryMessageType) {
  SKYLOAM_REQUIRE_TESTDATA();
  const NavData brd = read_nav_shared("BRD400DLR_S_20230710000_01D_MN.rnx.gz");
  std::map<GnssSystem, std::size_t> satellites;
  for (const Satellite& s : brd.satellites()) ++satellites[s.system];
  for (const GnssSystem system :
       {GnssSystem::GPS, GnssSystem::GLONASS, GnssSystem::Galileo, GnssSystem::BeiDou,
        GnssSystem::QZSS, GnssSystem::NavIC, GnssSystem::SBAS}) {
    EXPECT_GT(satellites[system], 0u) << system_name(system);
  }
  EXPECT_GE(satellites[GnssSystem::GPS], 30u);
  EXPECT_GE(satellites[GnssSystem::Galileo], 20u);
  EXPECT_GE(satellites[GnssSystem::BeiDou], 40u);
}

TEST(RealNavFiles, TheNearestCoveringEphemerisServes) {
  SKYLOAM_REQUIRE_TESTDATA();
  for (const char* file :
       {"ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "BRD400DLR_S_20230710000_01D_MN.rnx.gz"}) {
    const NavData nav = read_nav_shared(file);
    for (const Satellite& satellite : nav.satellites()) {
      const SatelliteEphemerides& own = *nav.ephemerides(satellite);
      const double first = own.list().front().reference - 7200.0;
      for (double t = first; t < own.list().back().reference + 7200.0; t += 397.0) {
        const BroadcastEphemeris* nearest = nullptr;
        for (const BroadcastEphemeris& e : own.list()) {
          if (e.covers(t) && (nearest == nullptr ||
                              std::fabs(t - e.reference) < std::fabs(t - nearest->reference))) {
            nearest = &e;
          }
        }
        const BroadcastEphemeris* chosen = own.serving(t);
        ASSERT_EQ(chosen == nullptr, nearest == nullptr) << to_string(satellite) << " " << t;
        if (chosen) {
          EXPECT_EQ(std::fabs(t - chosen->reference), std::fabs(t - nearest->reference));
        }
      }
    }
  }
}

TEST(RealNavFiles, ElevationBatchAnswersAsSingleQueries) {
  SKYLOAM_REQUIRE_TESTDATA();
  const NavData nav = read_nav_shared("ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  const Ecef esbc{3582105.2910, 532589.7313, 5232754.8054};
  std::vector<SatelliteEpoch> queries;
  for (int pass = 0; pass < 2; ++pass) {
    for (const Satellite& satellite : nav.satellites()) {
      for (int s = 0; s < 86400; s += 1800) {
        queries.push_back({satellite,
                           {2020, 6, 25, static_cast<std::uint32_t>(s / 3600),
                            static_cast<std::uint32_t>(s / 60 % 60), 0.5}});
      }
    }
  }
  const auto answers = azimuth_elevations(nav, esbc, queries);
  std::size_t answered = 0;
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const auto alone =
        compute_elevation(nav, esbc, to_string(queries[i].satellite), queries[i].epoch);
    ASSERT_EQ(answers[i].has_value(), alone.has_value());
    if (alone) {
      EXPECT_EQ(answers[i]->elevation, *alone);
    }
    answered += alone.has_value();
  }
  EXPECT_GT(answered, queries.size() / 3);
}

}  // namespace
}  // namespace skyloam
