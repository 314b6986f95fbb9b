#include "navigation/sp3/utf8_file_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation/sp3/temp_file.hpp"

namespace skyloam {
namespace {

using testing::TempFile;

Result<std::vector<std::string>> all_lines(const std::filesystem::path& path) {
  Result<Utf8FileLines> lines = Utf8FileLines::open(path);
  if (!lines) return fail(lines.error());
  std::vector<std::string> out;
  for (;;) {
    auto line = lines->next();
    if (!line) return fail(line.error());
    if (!*line) return out;
    EXPECT_EQ((*line)->index, out.size());
    out.emplace_back((*line)->text);
  }
}

std::vector<std::string> lines_of(std::string_view bytes) {
  TempFile file("lines.txt", bytes);
  auto lines = all_lines(file.path());
  EXPECT_TRUE(lines.has_value()) << lines.error().display();
  return lines ? *lines : std::vector<std::string>{};
}

TEST(Utf8FileLines, SplitsAtLineFeedsAndDropsOneCarriageReturn) {
  using V = std::vector<std::string>;
  EXPECT_EQ(lines_of(""), V{});
  EXPECT_EQ(lines_of("a\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(lines_of("a\r\nb"), (V{"a", "b"}));
  EXPECT_EQ(lines_of("\n\r\n\n"), (V{"", "", ""}));
  EXPECT_EQ(lines_of("a\r\r\nb\rc\n"), (V{"a\r", "b\rc"}));
  EXPECT_EQ(lines_of("caf\xC3\xA9 \xE2\x82\xAC\n"), (V{"caf\xC3\xA9 \xE2\x82\xAC"}));
}

TEST(Utf8FileLines, LinesAcrossBufferRefillsArriveWhole) {
  // Lines of 97 bytes straddle every 64 KiB boundary at a different offset,
  // and a two-byte character is split by one of them.
  std::string bytes;
  std::vector<std::string> expected;
  while (bytes.size() < 3 * Utf8FileLines::kBufferBytes) {
    std::string line(96, static_cast<char>('a' + expected.size() % 26));
    bytes += line + "\n";
    expected.push_back(line);
  }
  bytes.insert(Utf8FileLines::kBufferBytes - 1, "\xC3\xA9");
  expected[(Utf8FileLines::kBufferBytes - 1) / 97].insert((Utf8FileLines::kBufferBytes - 1) % 97,
                                                           "\xC3\xA9");
  EXPECT_EQ(lines_of(bytes), expected);
}

TEST(Utf8FileLines, OverlongLinesAreCutButTheRestIsSkipped) {
  const std::string huge(3 * Utf8FileLines::kBufferBytes + 5, 'x');
  const auto lines = lines_of(huge + "\nnext\n" + huge);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(Utf8FileLines::kMaxLineBytes, 'x'));
  EXPECT_EQ(lines[1], "next");
  EXPECT_EQ(lines[2].size(), Utf8FileLines::kMaxLineBytes);
}

TEST(Utf8FileLines, InvalidUtf8FailsAsIo) {
  for (const std::string_view bad : {
           std::string_view("ok\n\xFF\n"),           // never valid
           std::string_view("\xC0\xAF\n"),           // overlong '/'
           std::string_view("\xED\xA0\x80\n"),       // surrogate
           std::string_view("\xF4\x90\x80\x80\n"),   // beyond U+10FFFF
           std::string_view("ok\n\xE2\x82"),         // cut at the end
           std::string_view("a\x80"),                // stray continuation byte
       }) {
    TempFile file("bad.txt", bad);
    const auto lines = all_lines(file.path());
    ASSERT_FALSE(lines.has_value()) << bad;
    EXPECT_EQ(lines.error().kind(), ErrorKind::Io);
    EXPECT_EQ(lines.error().display(), "I/O error: stream did not contain valid UTF-8");
  }
}

TEST(Utf8FileLines, FailureIsStickyAfterInvalidText) {
  TempFile file("sticky.txt", std::string("\xFF\nmore\n"));
  auto lines = Utf8FileLines::open(file.path());
  ASSERT_TRUE(lines.has_value());
  EXPECT_FALSE(lines->next().has_value());
  EXPECT_FALSE(lines->next().has_value());
}

TEST(Utf8FileLines, OpenAndReadFailuresCarryTheSystemText) {
  const auto missing = Utf8FileLines::open("/nonexistent/dir/file.sp3");
  ASSERT_FALSE(missing.has_value());
  EXPECT_EQ(missing.error().display(), "I/O error: No such file or directory (os error 2)");

  const auto directory = all_lines(::testing::TempDir());
  ASSERT_FALSE(directory.has_value());
  EXPECT_EQ(directory.error().display(), "I/O error: Is a directory (os error 21)");
}

}  // namespace
}  // namespace skyloam
