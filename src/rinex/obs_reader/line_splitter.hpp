// LineSplitter: the LineSource over a ByteSource.
//
// Splits the bytes at '\n' and drops one '\r' before it; the last line needs
// no '\n', and an empty input has no lines. Lines are numbered from 0. The
// bytes must be UTF-8: the line holding the first malformed byte yields the
// Io error "stream did not contain valid UTF-8" instead of its text (lines
// before it are yielded as usual). After any failure the source is done.
//
// Memory stays bounded whatever the input: a line longer than
// kMaxLineBytes is yielded as its first kMaxLineBytes bytes (the rest is
// still checked for UTF-8). No observation line of a real file comes near
// that length.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

class LineSplitter final : public LineSource {
 public:
  explicit LineSplitter(std::unique_ptr<ByteSource> bytes);

  Result<std::optional<Line>> next() override;

 private:
  // Reads more bytes behind the pending ones; false at the end of the input.
  Result<bool> fill();
  void make_room();
  void check_utf8();
  // Drops the bytes of an overlong line beyond its kept prefix.
  void drop_overlong_tail();
  GnssError fail_with(GnssError error);

  std::unique_ptr<ByteSource> bytes_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;    // first byte of the current line
  std::size_t end_ = 0;      // end of the buffered bytes
  std::size_t scanned_ = 0;  // [begin_, scanned_) holds no '\n'
  std::size_t checked_ = 0;  // [0, checked_) is known to be valid UTF-8
  std::optional<std::size_t> malformed_;  // first malformed byte, once found
  std::size_t next_index_ = 0;
  bool at_end_ = false;  // the byte source is exhausted
  bool done_ = false;    // nothing more will be yielded
};

}  // namespace skyloam
