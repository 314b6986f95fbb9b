// The real compact RINEX samples against the RINEX files they were made from.
#include <gtest/gtest.h>

#include "rinex/compressed/byte_source_peek.hpp"
#include "rinex/compressed/crinex_detect.hpp"
#include "support/test_data.hpp"
#include "testkit/lzw_writer.hpp"
#include "testkit/rinex_body_model.hpp"
#include "testkit/test_sources.hpp"

namespace skyloam {
namespace {

using testing::testdata_path;

std::string without_trailing_blanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

struct DecodedFile {
  std::vector<Line> lines;  // views into `texts`
  std::vector<std::string> texts;
  std::string error;
};

DecodedFile decode_bytes(std::unique_ptr<ByteSource> bytes) {
  auto opened = decode_if_crinex(std::make_unique<testing::LineSplitter>(std::move(bytes)));
  DecodedFile out;
  if (!opened) {
    out.error = opened.error().display();
    return out;
  }
  std::vector<std::size_t> indexes;
  for (;;) {
    auto line = (*opened)->next();
    if (!line) {
      out.error = line.error().display();
      break;
    }
    if (!*line) break;
    indexes.push_back((*line)->index);
    out.texts.emplace_back((*line)->text);
  }
  for (std::size_t i = 0; i < indexes.size(); ++i) out.lines.push_back(Line{indexes[i], out.texts[i]});
  return out;
}

DecodedFile decode_file(const std::string& relative, std::size_t chunk = 1 << 16) {
  return decode_bytes(std::make_unique<testing::ChunkedByteSource>(testing::read_file(testdata_path(relative)), chunk));
}

void expect_same_text(const DecodedFile& decoded, const std::string& original_relative) {
  ASSERT_EQ(decoded.error, "");
  const auto original = testing::split_lines(testing::read_file(testdata_path(original_relative)));
  ASSERT_EQ(decoded.texts.size(), original.size());
  std::size_t differences = 0;
  for (std::size_t i = 0; i < original.size() && differences < 5; ++i) {
    if (decoded.texts[i] != without_trailing_blanks(original[i])) {
      ++differences;
      ADD_FAILURE() << "line " << i << "\n got: [" << decoded.texts[i] << "]\nwant: ["
                    << without_trailing_blanks(original[i]) << "]";
    }
  }
}

TEST(CrinexSamples, Version1RestoresTheRinex2File) {
  SKYLOAM_REQUIRE_TESTDATA();
  expect_same_text(decode_file("misc/delf0010.21d"), "rinex2/delf0010.21o");
}

TEST(CrinexSamples, Version3RestoresTheRinex3File) {
  SKYLOAM_REQUIRE_TESTDATA();
  expect_same_text(decode_file("misc/ACOR00ESP_R_20213550000_01D_30S_MO.crx"),
                   "rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx");
}

TEST(CrinexSamples, Version3RestoresTheRinex4File) {
  SKYLOAM_REQUIRE_TESTDATA();
  expect_same_text(decode_file("misc/KMS300DNK_R_20221591000_01H_30S_MO.crx"),
                   "rinex4/KMS300DNK_R_20221591000_01H_30S_MO.rnx");
}

TEST(CrinexSamples, TinyReadsGiveTheSameText) {
  SKYLOAM_REQUIRE_TESTDATA();
  expect_same_text(decode_file("misc/delf0010.21d", 7), "rinex2/delf0010.21o");
}

// A .21d.Z file as data centres ship them: LZW around compact RINEX.
TEST(CrinexSamples, UnixCompressedCrinexDecodesThroughBothLayers) {
  SKYLOAM_REQUIRE_TESTDATA();
  const std::string packed = testing::write_unix_compress(testing::read_file(testdata_path("misc/delf0010.21d")));
  auto bytes = decompress_if_unix_compressed(std::make_unique<testing::ChunkedByteSource>(packed, 4096));
  ASSERT_TRUE(bytes);
  expect_same_text(decode_bytes(std::move(*bytes)), "rinex2/delf0010.21o");
}

TEST(CrinexSamples, LineIndexesPointIntoTheCompressedFile) {
  SKYLOAM_REQUIRE_TESTDATA();
  const DecodedFile decoded = decode_file("misc/delf0010.21d");
  ASSERT_EQ(decoded.error, "");
  const auto compact = testing::split_lines(testing::read_file(testdata_path("misc/delf0010.21d")));
  // The two CRINEX lines are dropped; the RINEX header keeps its place.
  EXPECT_EQ(decoded.lines.front().index, 2u);
  EXPECT_EQ(compact[decoded.lines.front().index], decoded.texts.front());
  // The first epoch (20 satellites, 7 types) comes from line 30 (epoch), 31
  // (clock) and 32.. (one compact line per satellite).
  const auto first_epoch = std::find_if(decoded.lines.begin(), decoded.lines.end(),
                                        [](const Line& line) { return line.text.starts_with(" 21  1  1"); });
  ASSERT_NE(first_epoch, decoded.lines.end());
  EXPECT_EQ(first_epoch->index, 30u);
  EXPECT_EQ((first_epoch + 1)->index, 30u);  // the satellite-list continuation line
  EXPECT_EQ((first_epoch + 2)->index, 32u);  // G07, two lines
  EXPECT_EQ((first_epoch + 3)->index, 32u);
  EXPECT_EQ((first_epoch + 4)->index, 33u);  // G23
  for (std::size_t i = 1; i < decoded.lines.size(); ++i) {
    EXPECT_LE(decoded.lines[i - 1].index, decoded.lines[i].index);
  }
}

TEST(CrinexSamples, PlainRinexPassesThroughUntouched) {
  SKYLOAM_REQUIRE_TESTDATA();
  const DecodedFile decoded = decode_file("rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx");
  ASSERT_EQ(decoded.error, "");
  const auto original = testing::split_lines(testing::read_file(testdata_path("rinex3/ACOR00ESP_R_20213550000_01D_30S_MO.rnx")));
  ASSERT_EQ(decoded.texts, original);
  EXPECT_EQ(decoded.lines.front().index, 0u);
  EXPECT_EQ(decoded.lines.back().index, original.size() - 1);
}

}  // namespace
}  // namespace skyloam
