// The real files of the shared test data, read as the manifest describes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "rinex/obs_reader/obs_file.hpp"
#include "rinex/obs_reader/obs_queries.hpp"
#include "rinex/obs_reader/snr_series.hpp"
#include "support/test_data.hpp"

namespace skyloam {
namespace {

using skyloam::testing::testdata_path;

struct FileFacts {
  const char* path;
  const char* version;
  std::size_t epochs;
  const char* marker;
  const char* systems;          // code letters of the observed systems
  std::size_t most_per_epoch;   // most satellites in one epoch, 0 = not checked
  std::size_t glonass_slots;
};

constexpr FileFacts kFiles[] = {
    {"rinex2/ZIMM2350.15O", "2.11", 2880, "ZIMM", "G", 15, 0},
    {"rinex2/ZIMM2360.15O.gz", "2.11", 2880, "ZIMM", "G", 15, 0},
    {"rinex2/arlm200a.15o", "2.11", 120, "ARL1", "G", 0, 0},
    {"rinex2/delf0010.21o", "2.11", 105, "DELFT-16", "GR", 20, 0},
    {"rinex2/npaz3550.21o", "2.11", 129, "NPAZ", "GR", 17, 0},
    {"rinex2/kerg1700.16o", "2.11", 6, "KERG", "EGRS", 24, 0},
    {"rinex2/faa1170b00.16o", "2.11", 5, "FAA1", "", 0, 0},
    {"rinex2/test_dfix_txau047.ed.12o", "2.10", 973, "txau", "", 0, 0},
    {"rinex2/aiub0000.00o", "2.10", 7, "A 9080", "", 0, 0},
    {"rinex2/aopr0010.17o", "2.10", 3, "aopr", "", 0, 0},
    {"rinex2/ice12720.07o", "2.20", 4, "ICESat", "G", 7, 0},
    {"rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", "3.05", 2880, "ESBC00DNK", "CEGJRS", 0, 23},
    {"rinex3/AJAC00FRA_R_20242090000_01D_30S_MO.rnx.gz", "3.04", 2880, "AJAC", "CEGRS", 0, 24},
    {"rinex3/CEDA00USA_R_20182100000_23H_15S_MO.rnx.gz", "3.03", 4675, "ceda", "ER", 6, 4},
    {"rinex3/GRAS00FRA_R_20223151700_15M_01S_MO.rnx.gz", "3.04", 900, "GRAS", "", 0, 9},
    {"rinex3/GEOP092I.24o.gz", "3.03", 599, "Geo++", "", 0, 24},
    {"rinex3/pixel6.23o", "3.03", 48, "Google GnssLogger", "EGR", 0, 6},
    {"rinex3/z_tracking.rnx", "3.04", 2, "TWTF", "CEGJRS", 45, 23},
    {"rinex3/ABMF00GLP_R_20181330000_01D_30S_MO.rnx", "3.02", 3, "ABMF", "", 0, 24},
    {"rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx", "3.04", 25, "ACOR", "CEGR", 0, 22},
    {"rinex3/VLNS0010.22O", "3.02", 3, "VLNS", "GR", 0, 0},
    {"rinex3/cycle-slip.00o", "3.02", 3, "RDLT", "", 0, 0},
    {"rinex3/sptu0150.16o", "3.00", 5, "SPTU", "", 0, 0},
    {"rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx", "4.00", 19, "KMS3", "CEGJRS", 0, 10},
};

std::string read_bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string system_letters(const ObsData& data) {
  std::string letters;
  for (const SystemCount& count : satellites_by_system(data)) letters += system_code(count.system);
  return letters;
}

TEST(RealFiles, ReadAsTheManifestDescribes) {
  SKYLOAM_REQUIRE_TESTDATA();
  for (const FileFacts& facts : kFiles) {
    SCOPED_TRACE(facts.path);
    const auto data = read_obs_file(testdata_path(facts.path));
    ASSERT_TRUE(data) << data.error().display();
    EXPECT_EQ(to_string(data->header().version), facts.version);
    EXPECT_EQ(data->epochs().size(), facts.epochs);
    EXPECT_EQ(data->header().marker_name, facts.marker);
    if (*facts.systems != '\0') {
      EXPECT_EQ(system_letters(*data), facts.systems);
    }
    if (facts.most_per_epoch != 0) {
      std::size_t most = 0;
      for (const ObsEpoch& epoch : data->epochs()) most = std::max<std::size_t>(most, epoch.entry_count);
      EXPECT_EQ(most, facts.most_per_epoch);
    }
    EXPECT_EQ(data->header().glonass_slots.size(), facts.glonass_slots);
  }
}

TEST(RealFiles, UnreadableOnes) {
  SKYLOAM_REQUIRE_TESTDATA();
  const auto kosg = read_obs_file(testdata_path("rinex2/KOSG0010.95O"));
  ASSERT_FALSE(kosg);
  EXPECT_EQ(kosg.error().display(), "Unsupported RINEX version: 2");
  // A compressed file under a name that does not say so is read as text.
  const std::string packed = read_bytes(testdata_path("misc/ac660270.18o.Z"));
  const auto misnamed = read_obs_bytes(std::span<const char>(packed), "ac660270.18o");
  ASSERT_FALSE(misnamed);
  EXPECT_EQ(misnamed.error().display(), "I/O error: stream did not contain valid UTF-8");
}

TEST(RealFiles, MultiGnssDayFile) {
  SKYLOAM_REQUIRE_TESTDATA();
  const auto data = read_obs_file(testdata_path("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"));
  ASSERT_TRUE(data);
  EXPECT_EQ(unique_satellites(*data).size(), 113u);
  EXPECT_EQ(data->header().obs_types.at(GnssSystem::Galileo).size(), 20u);
  EXPECT_EQ(effective_interval(*data), 30.0);
  EXPECT_EQ(data->header().approx_position,
            (std::array<double, 3>{3582105.2910, 532589.7313, 5232754.8054}));
  EXPECT_EQ(snr_codes(*data, *parse_satellite("R01")).front(), "S1C");
  const std::vector<SnrSeries> series = snr_series(*data, *parse_satellite("G01"));
  ASSERT_FALSE(series.empty());
  EXPECT_EQ(series[0].times.size(), series[0].values.size());
}

TEST(RealFiles, Rinex2Particulars) {
  SKYLOAM_REQUIRE_TESTDATA();
  // Blank system letters with one-digit numbers.
  const auto ice = read_obs_file(testdata_path("rinex2/ice12720.07o"));
  ASSERT_TRUE(ice);
  std::vector<std::string> ids;
  for (const SatelliteEntry& entry : ice->epochs()[0].satellites()) ids.push_back(to_string(entry.satellite));
  EXPECT_EQ(ids, (std::vector<std::string>{"G01", "G05", "G09", "G12", "G14", "G22", "G30"}));
  const ObsRecord& first = ice->epochs()[0].satellites()[0].records[0];  // "467614.70106"
  EXPECT_EQ(first.value, 467614.701);
  EXPECT_EQ(first.lli, 0);
  EXPECT_EQ(first.ssi, 6);

  // Both C2 and P2, CR LF line ends, ten types on two lines per satellite.
  const auto zimm = read_obs_file(testdata_path("rinex2/ZIMM2350.15O"));
  ASSERT_TRUE(zimm);
  EXPECT_EQ(observation_types(*zimm, GnssSystem::GPS),
            (std::vector<std::string>{"C1C", "C2C", "C2P", "C5X", "L1C", "L2C", "L5X", "S1C",
                                      "S2C", "S5X"}));

  // Event blocks dropped, flag 6 kept.
  const auto aiub = read_obs_file(testdata_path("rinex2/aiub0000.00o"));
  ASSERT_TRUE(aiub);
  EXPECT_TRUE(std::any_of(aiub->epochs().begin(), aiub->epochs().end(),
                          [](const ObsEpoch& e) { return e.flag == 6; }));
  for (const ObsEpoch& epoch : aiub->epochs()) {
    EXPECT_FALSE(epoch.flag >= 2 && epoch.flag <= 5);
    EXPECT_FALSE(epoch.clock_offset);
  }
}

TEST(RealFiles, Rinex3Particulars) {
  SKYLOAM_REQUIRE_TESTDATA();
  const auto vlns = read_obs_file(testdata_path("rinex3/VLNS0010.22O"));
  ASSERT_TRUE(vlns);
  for (const ObsEpoch& epoch : vlns->epochs()) EXPECT_TRUE(epoch.clock_offset);

  const auto kms = read_obs_file(testdata_path("rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx"));
  ASSERT_TRUE(kms);
  for (const Satellite& satellite : unique_satellites(*kms)) {
    EXPECT_TRUE(snr_codes(*kms, satellite).empty());
  }

  const auto pixel = read_obs_file(testdata_path("rinex3/pixel6.23o"));
  ASSERT_TRUE(pixel);
  EXPECT_FALSE(pixel->header().approx_position);
  EXPECT_NE(pixel->epochs()[0].time.second, std::floor(pixel->epochs()[0].time.second));
}

}  // namespace
}  // namespace skyloam
