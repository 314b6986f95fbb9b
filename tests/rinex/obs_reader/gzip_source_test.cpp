#include "rinex/obs_reader/gzip_source.hpp"

#include <gtest/gtest.h>

#include <string>

#include "gzip_text.hpp"
#include "rinex/obs_reader/memory_source.hpp"

namespace skyloam {
namespace {

using testing::gzip_member;

// All the decompressed bytes, or the error text.
std::string gunzip(const std::string& data, std::size_t read_size = 1000) {
  GzipByteSource source(std::make_unique<MemoryByteSource>(std::span<const char>(data)));
  std::string out;
  std::string buffer(read_size, '\0');
  for (;;) {
    auto got = source.read(std::span<char>(buffer));
    if (!got) return "error: " + got.error().display();
    if (*got == 0) return out;
    out.append(buffer, 0, *got);
  }
}

TEST(GzipByteSource, ReadsEveryMember) {
  std::string big;
  for (int i = 0; i < 50000; ++i) big += std::to_string(i * 7919 % 10007) + "\n";
  EXPECT_EQ(gunzip(gzip_member(big)), big);
  const std::string members = gzip_member("header\n") + gzip_member("") + gzip_member(big);
  EXPECT_EQ(gunzip(members), "header\n" + big);
  EXPECT_EQ(gunzip(members, 1), "header\n" + big);
}

TEST(GzipByteSource, TrailingBytesThatStartNoMemberAreIgnored) {
  const std::string member = gzip_member("text\n");
  EXPECT_EQ(gunzip(member + std::string(512, '\0')), "text\n");
  EXPECT_EQ(gunzip(member + "\x1f"), "text\n");
}

TEST(GzipByteSource, DamagedTruncatedAndForeignDataFail) {
  const std::string member = gzip_member("some observation text\n");
  EXPECT_EQ(gunzip(""), "error: I/O error: unexpected end of gzip data");
  EXPECT_EQ(gunzip(member.substr(0, member.size() - 3)),
            "error: I/O error: unexpected end of gzip data");
  EXPECT_EQ(gunzip("plain text, not gzip\n").rfind("error: I/O error: invalid gzip data", 0), 0u);

  std::string bad_crc = member;
  bad_crc[bad_crc.size() - 6] ^= 0x55;
  EXPECT_EQ(gunzip(bad_crc).rfind("error: I/O error: invalid gzip data", 0), 0u);

  // A second member that starts well but is damaged fails too.
  EXPECT_EQ(gunzip(member + member.substr(0, 12)).rfind("error: ", 0), 0u);
}

TEST(GzipByteSource, DamageFoundWhileWritingIsTheErrorWhateverTheReadSize) {
  // After 11 bytes of output a match reaches back before the start of the
  // data. Read a byte at a time, every input byte is taken before that
  // match is written; the damage must still be reported, not an early end.
  const std::string damaged(
      "\x1f\x8b\x08\x00\x00\x00\x02\x1f\x8b\x08\xeb\x08\xeb\xde\x00\x06\x16\x8b\x08\xeb\xab", 21);
  EXPECT_EQ(gunzip(damaged), "error: I/O error: invalid gzip data: invalid distance too far back");
  EXPECT_EQ(gunzip(damaged, 1), gunzip(damaged));
}

}  // namespace
}  // namespace skyloam
