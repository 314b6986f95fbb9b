#include "rinex/obs_reader/line_splitter.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rinex/obs_reader/memory_source.hpp"

namespace skyloam {
namespace {

// Hands out its bytes a few at a time, to cut lines and characters anywhere.
class TrickleSource final : public ByteSource {
 public:
  TrickleSource(std::string data, std::size_t step) : data_(std::move(data)), step_(step) {}
  Result<std::size_t> read(std::span<char> buffer) override {
    const std::size_t count = std::min({buffer.size(), step_, data_.size() - pos_});
    data_.copy(buffer.data(), count, pos_);
    pos_ += count;
    return count;
  }

 private:
  std::string data_;
  std::size_t step_;
  std::size_t pos_ = 0;
};

struct Outcome {
  std::vector<std::string> lines;
  std::vector<std::size_t> indexes;
  std::string error;  // empty when the input ended normally
};

Outcome split(std::string data, std::size_t step = 1 << 20) {
  LineSplitter splitter(std::make_unique<TrickleSource>(std::move(data), step));
  Outcome out;
  for (;;) {
    auto next = splitter.next();
    if (!next) {
      out.error = next.error().display();
      EXPECT_TRUE(splitter.next().has_value());  // done after a failure
      return out;
    }
    if (!*next) return out;
    out.lines.emplace_back((*next)->text);
    out.indexes.push_back((*next)->index);
  }
}

TEST(LineSplitter, TerminatorsAndIndexes) {
  const Outcome out = split("a\r\nb\n\r\nc\r\r\n\nlast\r");
  EXPECT_EQ(out.lines, (std::vector<std::string>{"a", "b", "", "c\r", "", "last\r"}));
  EXPECT_EQ(out.indexes, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(out.error.empty());
  EXPECT_TRUE(split("").lines.empty());
  EXPECT_EQ(split("\n").lines, (std::vector<std::string>{""}));
}

TEST(LineSplitter, SameLinesWhateverTheReadSizes) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " caf\xC3\xA9 \xE2\x82\xAC\r\n";
  const Outcome whole = split(text);
  for (const std::size_t step : {1u, 2u, 3u, 7u, 4096u}) {
    EXPECT_EQ(split(text, step).lines, whole.lines) << step;
  }
  EXPECT_EQ(whole.lines.size(), 2000u);
  EXPECT_EQ(whole.lines[1999], "line 1999 caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(LineSplitter, MalformedUtf8FailsAtItsLine) {
  for (const std::size_t step : {1u, 5u, 1u << 20}) {
    const Outcome out = split("good\nalso good\nbad \xC3(\nnever\n", step);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"good", "also good"}));
    EXPECT_EQ(out.error, "I/O error: stream did not contain valid UTF-8");
  }
  // Overlong forms, surrogates, code points above U+10FFFF, lone
  // continuation bytes, and a sequence cut by the end of the input.
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80",
                          "\xFF", "ok\xE2\x82"}) {
    EXPECT_FALSE(split(bad).error.empty()) << bad;
  }
  EXPECT_TRUE(split("\xF0\x9F\x9B\xB0 \xF4\x8F\xBF\xBF\n").error.empty());
}

TEST(LineSplitter, OverlongLinesAreCutButStillChecked) {
  std::string longline(kMaxLineBytes + 300000, 'x');
  Outcome out = split(longline + "\nnext\n");
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_EQ(out.lines[0].size(), kMaxLineBytes);
  EXPECT_EQ(out.lines[1], "next");

  // A character cut by a read boundary in the dropped part is still whole.
  std::string accented = longline + "\xC3\xA9\xC3\xA9\xC3\xA9\nnext";
  EXPECT_TRUE(split(accented, 7).error.empty());
  EXPECT_EQ(split(accented, 7).lines.back(), "next");

  longline[kMaxLineBytes + 5] = '\xC3';  // malformed in the dropped part
  out = split(longline + "\nnext\n", 65536);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_FALSE(out.error.empty());
}

TEST(LineSplitter, ReadFailuresEndTheSource) {
  class Failing final : public ByteSource {
   public:
    Result<std::size_t> read(std::span<char> buffer) override {
      if (calls_++ == 0) {
        buffer[0] = 'a';
        buffer[1] = '\n';
        return std::size_t{2};
      }
      return fail(GnssError::io("device gone"));
    }

   private:
    int calls_ = 0;
  };
  LineSplitter splitter(std::make_unique<Failing>());
  auto first = splitter.next();
  ASSERT_TRUE(first && *first);
  EXPECT_EQ((*first)->text, "a");
  auto second = splitter.next();
  ASSERT_FALSE(second);
  EXPECT_EQ(second.error().display(), "I/O error: device gone");
}

}  // namespace
}  // namespace skyloam
