// Inputs no real file has: the readers must answer with a value (data or an
// error), never crash, hang or allocate without bound.
#include <gtest/gtest.h>

#include <random>

#include "gzip_text.hpp"
#include "rinex_text.hpp"

namespace skyloam {
namespace {

using testing::end_of_header;
using testing::field;
using testing::gzip_member;
using testing::header_line;
using testing::read_text;
using testing::version_line;

std::string rinex3_sample() {
  std::string text = version_line("3.04") +
                     header_line("G    4 C1C L1C D1C S1C", "SYS / # / OBS TYPES") +
                     header_line("R    2 C1C S1C", "SYS / # / OBS TYPES") + end_of_header();
  for (int e = 0; e < 4; ++e) {
    char line[80];
    std::snprintf(line, sizeof line, "> 2024 01 15 00 0%d 00.0000000  0  2       0.000000001\n", e);
    text += line;
    std::snprintf(line, sizeof line, "G0%d", e + 1);
    text += line;
    text += field("20000000.125", '1', '7') + field("1.5") + field("-2.0") + field("45.0") + "\n";
    std::snprintf(line, sizeof line, "R1%d", e);
    text += line;
    text += field("21000000.5") + field("40.25", ' ', '6') + "\n";
  }
  return text;
}

std::string rinex2_sample() {
  std::string text = version_line("2.11") +
                     header_line("     6    C1    L1    L2    P2    S1    S2", "# / TYPES OF OBSERV") +
                     end_of_header();
  for (int e = 0; e < 4; ++e) {
    char line[80];
    std::snprintf(line, sizeof line, " 24  1 15  0  %d  0.0000000  0  2G01R02\n", e);
    text += line;
    for (int s = 0; s < 2; ++s) {
      text += field("20000000.125") + field("1.5", '1') + field("2.5") + field("3.5") +
              field("44.0") + "\n" + field("41.0") + "\n";
    }
  }
  return text;
}

TEST(BadInput, MutatedAndTruncatedTextsAlwaysGiveAValue) {
  std::mt19937 random(7);
  const std::string printable = " 0123456789.-+>GREJCSMX\r\n\t";
  for (const std::string& sample : {rinex3_sample(), rinex2_sample()}) {
    ASSERT_TRUE(read_text(sample));
    for (int round = 0; round < 3000; ++round) {
      std::string text = sample.substr(0, random() % (sample.size() + 1));
      const int edits = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < edits && !text.empty(); ++i) {
        text[random() % text.size()] = printable[random() % printable.size()];
      }
      const auto data = read_text(text);
      if (data) {
        EXPECT_LE(data->epochs().size(), 8u);
      }
    }
  }
}

TEST(BadInput, BinaryGarbageAndBrokenGzip) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 5000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    (void)read_text(bytes, "garbage.rnx");
    const auto zipped = read_text(bytes, "garbage.rnx.gz");
    EXPECT_FALSE(zipped);
  }
  const std::string member = gzip_member(rinex3_sample());
  for (std::size_t cut = 0; cut < member.size(); cut += 7) {
    const auto data = read_text(member.substr(0, cut), "cut.rnx.gz");
    ASSERT_FALSE(data) << cut;
    EXPECT_EQ(data.error().kind(), ErrorKind::Io);
  }
  std::string flipped = member;
  flipped[member.size() / 2] ^= 0x20;
  EXPECT_FALSE(read_text(flipped, "flipped.rnx.gz"));
}

TEST(BadInput, HugeCountsAndLines) {
  // An epoch announcing 999 records with three present, a RINEX 2 epoch
  // announcing 999 satellites, a header that never ends.
  std::string text = rinex3_sample() + "> 2024 01 15 01 00 00.0000000  0999\n" + "G01" + field("1.0") +
                     "\nG02\nG03\n";
  auto data = read_text(text);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->epochs().back().entry_count, 3u);

  text = rinex2_sample() + " 24  1 15  1  0  0.0000000  0999G01\n" + field("1.0") + "\n";
  data = read_text(text);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->epochs().size(), 5u);

  data = read_text(version_line("3.04") + header_line("X", "COMMENT"));
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->epochs().empty());

  // A record line of megabytes, and a header line of megabytes.
  text = rinex3_sample() + "> 2024 01 15 01 00 00.0000000  0  1\nG01" +
         std::string(3 << 20, '7') + "\n" + std::string(2 << 20, ' ') + "END OF HEADER\n";
  data = read_text(text);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->epochs().size(), 5u);
}

TEST(BadInput, NonUtf8BytesFailAtTheirLine) {
  std::string text = rinex3_sample();
  text[text.find("R12") + 1] = static_cast<char>(0xFF);
  auto data = read_text(text);
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().display(), "I/O error: stream did not contain valid UTF-8");

  // A short epoch line before the bad byte is reported first.
  text = rinex3_sample() + "> short\n" + "\xC3\n";
  data = read_text(text);
  ASSERT_FALSE(data);
  EXPECT_EQ(data.error().kind(), ErrorKind::RinexParse);
}

}  // namespace
}  // namespace skyloam
