#include "rinex/obs_reader/obs_queries.hpp"

#include <gtest/gtest.h>

#include "rinex/obs_reader/snr_series.hpp"
#include "rinex_text.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::field;
using testing::header_line;
using testing::read_text;
using testing::version_line;

Satellite sat(const char* id) { return *parse_satellite(id); }

// G01 observes S1C in epochs 1, 2, 4 and S2W in epochs 2 to 4; S1C of R05
// is always 0; E11 has an entry without values.
ObsData snr_file() {
  std::string text = version_line("3.04");
  text += header_line("G    3 C1C S1C S2W", "SYS / # / OBS TYPES");
  text += header_line("R    1 S1C", "SYS / # / OBS TYPES");
  text += header_line("E    1 S1C", "SYS / # / OBS TYPES");
  text += header_line("    30.000", "INTERVAL");
  text += header_line(" 2 R05  1 R09 -7", "GLONASS SLOT / FRQ #");
  text += end_of_header();
  const auto epoch = [](int second, int records) {
    char line[64];
    std::snprintf(line, sizeof line, "> 2024 01 15 00 00 %02d.5000000  0%3d\n", second, records);
    return std::string(line);
  };
  text += epoch(0, 3) + "G01" + field("2.0e7") + field("41.0") + "\n" + "R05" + field("0.0") + "\n" +
          "E11\n";
  text += epoch(10, 1) + "G01" + field("") + field("42.0") + field("30.0") + "\n";
  text += epoch(20, 1) + "G01" + field("") + field("-1.0") + field("31.0") + "\n";
  text += epoch(30, 1) + "G01" + field("") + field("44.0") + field("32.0") + "\n";
  auto data = read_text(text);
  EXPECT_TRUE(data);
  return std::move(*data);
}

TEST(ObsQueries, SatellitesSystemsAndTypes) {
  const ObsData data = snr_file();
  EXPECT_EQ(unique_satellites(data), (std::vector<Satellite>{sat("E11"), sat("G01"), sat("R05")}));
  const std::vector<SystemCount> counts = satellites_by_system(data);
  ASSERT_EQ(counts.size(), 3u);
  EXPECT_EQ(counts[0].system, GnssSystem::Galileo);
  EXPECT_EQ(counts[2].satellites, 1u);
  EXPECT_EQ(observation_types(data, GnssSystem::GPS),
            (std::vector<std::string>{"C1C", "S1C", "S2W"}));
  EXPECT_TRUE(observation_types(data, GnssSystem::Galileo).empty());
  for (const char* text : {"g", "GPS", "G", "X", ""}) {
    EXPECT_EQ(system_of_text(text), GnssSystem::GPS) << text;
  }
  EXPECT_EQ(system_of_text("r"), GnssSystem::GLONASS);
  EXPECT_EQ(glonass_channel(data.header(), sat("R09")), -7);
  EXPECT_FALSE(glonass_channel(data.header(), sat("R02")));
  EXPECT_FALSE(glonass_channel(data.header(), sat("G05")));
}

TEST(ObsQueries, SatelliteOrderAndLargeNumbers) {
  ObsDataBuilder builder{RinexObsHeader{}};
  for (const char* id : {"G02", "R01", "E11", "C05", "G10", "G300", "G99", "G300", "S120"}) {
    builder.begin_satellite(sat(id));
    builder.commit_epoch(Epoch{}, 0, std::nullopt);
  }
  const ObsData data = std::move(builder).finish();
  std::vector<std::string> ids;
  for (const Satellite& s : unique_satellites(data)) ids.push_back(to_string(s));
  EXPECT_EQ(ids, (std::vector<std::string>{"C05", "E11", "G02", "G10", "G99", "G300", "R01", "S120"}));
}

TEST(ObsQueries, EffectiveInterval) {
  RinexObsHeader header;
  header.declared_interval = 1.0;
  const auto with_epochs = [&](std::vector<Epoch> times) {
    ObsDataBuilder builder{header};
    for (const Epoch& time : times) builder.commit_epoch(time, 0, std::nullopt);
    return effective_interval(std::move(builder).finish());
  };
  EXPECT_EQ(with_epochs({}), 1.0);
  EXPECT_EQ(with_epochs({Epoch{2024, 1, 15, 10, 0, 0.0}}), 1.0);
  EXPECT_EQ(with_epochs({Epoch{2024, 1, 15, 10, 0, 0.0}, Epoch{2024, 1, 15, 10, 0, 30.0}}), 30.0);
  EXPECT_EQ(with_epochs({Epoch{2024, 1, 15, 10, 0, 0.0}, Epoch{2024, 1, 15, 9, 59, 30.0},
                         Epoch{2024, 1, 15, 12, 0, 0.0}}),
            30.0);
  header.declared_interval.reset();
  EXPECT_FALSE(with_epochs({Epoch{}}));
}

TEST(SnrSeries, SeriesPerCodeWithPositiveValuesOnly) {
  const ObsData data = snr_file();
  const std::vector<SnrSeries> series = snr_series(data, sat("G01"));
  ASSERT_EQ(series.size(), 2u);
  EXPECT_EQ(to_string(series[0].code), "S1C");
  EXPECT_EQ(series[0].values, (std::vector<double>{41.0, 42.0, 44.0}));
  const double t0 = 1705276800.5;  // 2024-01-15 00:00:00.5
  EXPECT_EQ(series[0].times, (std::vector<double>{t0, t0 + 10, t0 + 30}));
  EXPECT_EQ(to_string(series[1].code), "S2W");
  EXPECT_EQ(series[1].times, (std::vector<double>{t0 + 10, t0 + 20, t0 + 30}));

  EXPECT_EQ(snr_codes(data, sat("R05")), (std::vector<std::string>{"S1C"}));
  EXPECT_TRUE(snr_series(data, sat("R05")).empty());
  EXPECT_TRUE(snr_codes(data, sat("J01")).empty());
  EXPECT_EQ(snr_codes(data, sat("G01")), (std::vector<std::string>{"S1C", "S2W"}));
}

TEST(SnrSeries, ArgumentTexts) {
  const ObsData data = snr_file();
  auto only = snr_series_for(data, "G1", "s2w");
  ASSERT_TRUE(only);
  ASSERT_EQ(only->size(), 1u);
  EXPECT_EQ(to_string((*only)[0].code), "S2W");
  auto never = snr_series_for(data, "G01", "S9Z");
  ASSERT_TRUE(never);
  EXPECT_TRUE(never->empty());

  EXPECT_EQ(snr_series_for(data, "X01", "L1C").error().display(), "Invalid satellite id 'X01'");
  EXPECT_EQ(snr_series_for(data, "G01", "L1C").error().display(), "'L1C' is not an S-code");
  EXPECT_EQ(snr_series_for(data, "G01", "S1").error().display(), "'S1' is not an S-code");
  EXPECT_EQ(satellite_argument(" 1").error().kind(), ErrorKind::Message);
}

}  // namespace
}  // namespace skyloam
