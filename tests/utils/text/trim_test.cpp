#include "utils/text/trim.hpp"

#include <gtest/gtest.h>

namespace skyloam {
namespace {

TEST(Trim, RemovesAsciiAndUnicodeSpaceAtBothEnds) {
  EXPECT_EQ(trim("  G01\t\r"), "G01");
  EXPECT_EQ(trim("\xC2\xA0" "E05" "\xE3\x80\x80"), "E05");  // U+00A0, U+3000
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim("a b"), "a b");
  // A lone continuation byte is not white space.
  EXPECT_EQ(trim("\x80x\xA0"), "\x80x\xA0");
}

TEST(Columns, ClipToTheLine) {
  EXPECT_EQ(column("abcdef", 2, 4), "cd");
  EXPECT_EQ(column("abcdef", 4, 10), "ef");
  EXPECT_EQ(column("abc", 5, 10), "");
  EXPECT_EQ(trimmed_column("  12  x", 0, 6), "12");
}

TEST(SplitWhitespace, DropsEmptyPieces) {
  const auto pieces = split_whitespace("  1.5 abc\t2.5  ");
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[1], "abc");
  EXPECT_TRUE(split_whitespace("   ").empty());
  EXPECT_EQ(strip_trailing_cr("x\r\r"), "x");
}

}  // namespace
}  // namespace skyloam
