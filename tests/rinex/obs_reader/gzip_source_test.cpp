#include "rinex/obs_reader/gzip_source.hpp"

#include <gtest/gtest.h>

#include <string>

#include "gzip_text.hpp"
#include "rinex/obs_reader/memory_source.hpp"

namespace skyloam {
namespace {

using testing::gzip_member;

// All the decompressed bytes, or the error text.
std::string gunzip(const std::string& data, std::size_t read_size = 1000, ReopenBytes reopen = {}) {
  GzipByteSource source(std::make_unique<MemoryByteSource>(std::span<const char>(data)), std::move(reopen));
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

// gunzip, damage named by decoding the member again with zlib.
std::string gunzip_naming_damage(const std::string& data) {
  return gunzip(data, 1000, [&data]() -> Result<std::unique_ptr<ByteSource>> {
    return std::make_unique<MemoryByteSource>(std::span<const char>(data));
  });
}

std::string with_byte(std::string data, std::size_t at, unsigned char value) {
  data[at] = static_cast<char>(value);
  return data;
}

TEST(GzipByteSource, DamageIsNamedAsZlibNamesIt) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += std::to_string(i * 7919 % 10007) + " ";
  const std::string member = gzip_member(text);
  const std::size_t size = member.size();
  std::string header_crc = member;  // FHCRC set, CRC-16 of the header wrong
  header_crc[3] = 0x02;
  header_crc.insert(10, "\x00\x00", 2);
  // A dynamic block whose code lengths igzip already finds bad, cut short
  // before zlib has read them all.
  const std::string cut_header("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x00\x04\x03\x00\x00\x00\x04\x03", 17);
  const std::string invalid = "error: I/O error: invalid gzip data: ";
  const struct {
    std::string data;
    std::string error;
  } kCases[] = {
      {"plain text, not gzip\n", invalid + "incorrect header check"},
      {with_byte(member, 2, 7), invalid + "unknown compression method"},
      {with_byte(member, 3, 0x20), invalid + "unknown header flags set"},
      {header_crc, invalid + "header crc mismatch"},
      {with_byte(member, 10, 0x07), invalid + "invalid block type"},
      {with_byte(member, size - 6, member[size - 6] ^ 1), invalid + "incorrect data check"},
      {with_byte(member, size - 3, member[size - 3] ^ 1), invalid + "incorrect length check"},
      {gzip_member("ok\n") + with_byte(member, size - 6, member[size - 6] ^ 1), invalid + "incorrect data check"},
      {cut_header, "error: I/O error: unexpected end of gzip data"},
      // zlib checks the data's checksum before the length is complete.
      {with_byte(member, size - 6, member[size - 6] ^ 1).substr(0, size - 2), invalid + "incorrect data check"},
  };
  for (const auto& [data, error] : kCases) {
    EXPECT_EQ(gunzip_naming_damage(data), error);
    EXPECT_EQ(gunzip(data).rfind("error: I/O error: ", 0), 0u);
  }
}

TEST(GzipByteSource, LongHeaderFieldsAreReadInPieces) {
  // FNAME and FCOMMENT of 300 000 bytes each: longer than any input buffer.
  std::string member = gzip_member("body\n");
  member[3] = 0x18;
  member.insert(10, std::string(300000, 'n') + '\0' + std::string(300000, 'c') + '\0');
  EXPECT_EQ(gunzip(member), "body\n");
  EXPECT_EQ(gunzip(member, 3), "body\n");
}

}  // namespace
}  // namespace skyloam
