#include "rinex/obs_reader/obs_data.hpp"

#include <gtest/gtest.h>

namespace skyloam {
namespace {

Satellite sat(const char* id) { return *parse_satellite(id); }
ObsCode code(const char* text) { return *parse_obs_code(text); }

TEST(ObsDataBuilder, LaterSatelliteAndCodeReplaceEarlierOnes) {
  ObsDataBuilder builder{RinexObsHeader{}};
  const CodeId c1c = builder.intern(code("C1C"));
  const CodeId l1c = builder.intern(code("L1C"));
  EXPECT_EQ(builder.intern(code("C1C")), c1c);

  builder.begin_satellite(sat("G01"));
  builder.add(c1c, 1.0);
  builder.add(c1c, 2.0, 7, kNoIndicator);  // same code again: replaces
  builder.begin_satellite(sat("G65"));      // same bit as G01 in the duplicate filter
  builder.add(l1c, 5.0);
  builder.begin_satellite(sat("G01"));  // same satellite again: replaces, keeps its place
  builder.add(l1c, 3.0);
  builder.add(c1c, 4.0);
  builder.commit_epoch(Epoch{2024, 1, 15}, 0, 0.5);

  const ObsData data = std::move(builder).finish();
  ASSERT_EQ(data.epochs().size(), 1u);
  const ObsEpoch& epoch = data.epochs()[0];
  ASSERT_EQ(epoch.entry_count, 2u);
  EXPECT_EQ(epoch.satellites()[0].satellite, sat("G01"));
  EXPECT_EQ(epoch.satellites()[1].satellite, sat("G65"));
  const auto obs = epoch.satellites()[0].observations();
  ASSERT_EQ(obs.size(), 2u);
  EXPECT_EQ(obs[0].value, 3.0);
  EXPECT_EQ(data.code(obs[1].code), code("C1C"));
  EXPECT_EQ(data.observation_count(), 3u);
  EXPECT_EQ(epoch.clock_offset, 0.5);
  EXPECT_EQ(epoch.find(sat("G65"))->record_count, 1u);
  EXPECT_EQ(epoch.find(sat("R01")), nullptr);
}

TEST(ObsDataBuilder, EmptySatellitesAndDiscardedEpochs) {
  ObsDataBuilder builder{RinexObsHeader{}};
  const CodeId s1c = builder.intern(code("S1C"));
  builder.begin_satellite(sat("E05"));  // kept with no observations
  builder.begin_satellite(sat("E07"));
  builder.drop_empty_satellite();
  builder.commit_epoch(Epoch{}, 0, std::nullopt);
  builder.begin_satellite(sat("E05"));
  builder.add(s1c, 40.0);
  builder.discard_epoch();
  const ObsData data = std::move(builder).finish();
  ASSERT_EQ(data.epochs().size(), 1u);
  ASSERT_EQ(data.epochs()[0].entry_count, 1u);
  EXPECT_EQ(data.epochs()[0].satellites()[0].record_count, 0u);
  EXPECT_EQ(data.observation_count(), 0u);
}

TEST(ObsDataBuilder, LargeRunsGetTheirOwnBlock) {
  ObsDataBuilder builder{RinexObsHeader{}};
  std::vector<CodeId> ids;
  for (int band = 0; band < 10; ++band)
    for (char a = 'A'; a <= 'Z'; ++a) ids.push_back(builder.intern({ObsKind::Snr, std::uint8_t(band), a}));
  for (int e = 0; e < 300; ++e) {
    builder.begin_satellite(sat("G01"));
    for (CodeId id : ids) builder.add(id, e);
    builder.commit_epoch(Epoch{}, 0, std::nullopt);
  }
  const ObsData data = std::move(builder).finish();
  EXPECT_EQ(data.observation_count(), 300u * ids.size());
  EXPECT_EQ(data.epochs()[299].satellites()[0].observations()[259].value, 299.0);
}

}  // namespace
}  // namespace skyloam
