// Compressed observation files read as their plain twins: compact RINEX by
// its first line, gzip and Unix compress by the name, in any combination.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "gzip_text.hpp"
#include "rinex/obs_reader/body_reader.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "rinex/obs_reader/obs_input.hpp"
#include "testkit/crinex_writer.hpp"
#include "text_only_lines.hpp"
#include "support/test_data.hpp"
#include "testkit/lzw_writer.hpp"

namespace skyloam {
namespace {

using testing::testdata_path;

std::string file_bytes(const std::string& relative) {
  std::ifstream file(testdata_path(relative), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every stored epoch, satellite and observation must agree.
void expect_same_data(const ObsData& a, const ObsData& b) {
  EXPECT_EQ(to_string(a.header().version), to_string(b.header().version));
  EXPECT_EQ(a.header().marker_name, b.header().marker_name);
  EXPECT_EQ(a.header().obs_types, b.header().obs_types);
  EXPECT_EQ(a.header().obs_types_v2, b.header().obs_types_v2);
  ASSERT_EQ(a.epochs().size(), b.epochs().size());
  EXPECT_EQ(a.observation_count(), b.observation_count());
  for (std::size_t e = 0; e < a.epochs().size(); ++e) {
    const ObsEpoch& x = a.epochs()[e];
    const ObsEpoch& y = b.epochs()[e];
    ASSERT_EQ(seconds_between(x.time, y.time), 0.0) << "epoch " << e;
    ASSERT_EQ(x.flag, y.flag);
    ASSERT_EQ(x.clock_offset, y.clock_offset);
    ASSERT_EQ(x.entry_count, y.entry_count) << "epoch " << e;
    for (std::size_t s = 0; s < x.entry_count; ++s) {
      const SatelliteEntry& u = x.satellites()[s];
      const SatelliteEntry& v = y.satellites()[s];
      ASSERT_EQ(u.satellite, v.satellite);
      ASSERT_EQ(u.record_count, v.record_count) << to_string(u.satellite) << " epoch " << e;
      for (std::size_t r = 0; r < u.record_count; ++r) {
        const ObsRecord& p = u.observations()[r];
        const ObsRecord& q = v.observations()[r];
        ASSERT_EQ(a.code(p.code), b.code(q.code));
        ASSERT_EQ(p.value, q.value) << to_string(u.satellite) << " " << to_string(a.code(p.code));
        ASSERT_EQ(p.lli, q.lli);
        ASSERT_EQ(p.ssi, q.ssi);
      }
    }
  }
}

struct Pair {
  const char* compact;
  const char* plain;
};

constexpr Pair kPairs[] = {
    {"misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx", "rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx"},
    {"misc/KMS300DNK_R_20221591000_01H_30S_MO.crx", "rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx"},
    {"misc/delf0010.21d", "rinex2/delf0010.21o"},
};

TEST(CompressedInput, CompactFilesReadAsTheirPlainTwins) {
  SKYLOAM_REQUIRE_TESTDATA();
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(pair.compact);
    const auto compact = read_obs_file(testdata_path(pair.compact));
    const auto plain = read_obs_file(testdata_path(pair.plain));
    ASSERT_TRUE(compact) << compact.error().display();
    ASSERT_TRUE(plain);
    expect_same_data(*compact, *plain);
  }
}

// Compact RINEX 3 records taken as numbers give what their restored text gives.
TEST(CompressedInput, DecodedRecordsReadAsTheirText) {
  SKYLOAM_REQUIRE_TESTDATA();
  const auto esbc = read_obs_file(testdata_path("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"));
  ASSERT_TRUE(esbc);
  std::string esbc_text;
  {
    auto lines = open_obs_file(testdata_path("rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz"));
    ASSERT_TRUE(lines);
    for (auto line = (*lines)->next(); line && *line; line = (*lines)->next()) {
      esbc_text.append((*line)->text).push_back('\n');
    }
  }
  const std::string written = testing::write_crinex(esbc_text);
  for (const auto& [bytes, name] :
       {std::pair{file_bytes("misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx"), "ACOR.crx"},
        std::pair{file_bytes("misc/KMS300DNK_R_20221591000_01H_30S_MO.crx"), "KMS3.crx"},
        std::pair{written, "ESBC.crx"}}) {
    SCOPED_TRACE(name);
    auto numbers = open_obs_bytes(std::span<const char>(bytes), name);
    auto text = open_obs_bytes(std::span<const char>(bytes), name);
    ASSERT_TRUE(numbers && text);
    testing::TextOnlyLines text_only(std::move(*text));
    const auto by_numbers = read_obs(**numbers);
    const auto by_text = read_obs(text_only);
    ASSERT_TRUE(by_numbers && by_text);
    expect_same_data(*by_numbers, *by_text);
  }
}

TEST(CompressedInput, DecompressorsAreChosenByNameAndCombineWithCompactRinex) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::string compact = file_bytes("misc/delf0010.21d");
  const auto plain = read_obs_file(testdata_path("rinex2/delf0010.21o"));
  ASSERT_TRUE(plain);
  const std::string gzipped = testing::gzip_member(compact);
  const std::string packed = testing::write_unix_compress(compact);
  for (const auto& [bytes, name] : {std::pair{&gzipped, "delf0010.21d.gz"},
                                   std::pair{&packed, "dir/delf0010.21d.Z"}}) {
    SCOPED_TRACE(name);
    const auto data = read_obs_bytes(std::span<const char>(*bytes), name);
    ASSERT_TRUE(data) << data.error().display();
    expect_same_data(*data, *plain);
  }
  // Only the exact extensions select a decompressor.
  for (const char* name : {"delf0010.21d.z", "delf0010.21d.Z.txt"}) {
    const auto data = read_obs_bytes(std::span<const char>(packed), name);
    ASSERT_FALSE(data);
    EXPECT_EQ(data.error().display(), "I/O error: stream did not contain valid UTF-8");
  }
}

TEST(CompressedInput, DamagedCompressedDataIsAnError) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::string compact = file_bytes("misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx");
  const std::string packed = testing::write_unix_compress(compact);
  const auto cut = read_obs_bytes(std::span<const char>(packed.data(), packed.size() / 2), "a.crx.Z");
  ASSERT_FALSE(cut);
  std::string broken = compact;
  const std::size_t line = broken.find("\n>");
  ASSERT_NE(line, std::string::npos);
  broken.insert(line + 1, "&garbage that is no compact epoch line\n");
  const auto malformed = read_obs_bytes(std::span<const char>(broken), "a.crx");
  ASSERT_FALSE(malformed);
  EXPECT_EQ(malformed.error().kind(), ErrorKind::RinexParse);
}

}  // namespace
}  // namespace skyloam
