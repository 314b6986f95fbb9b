// ByteSource and LineSource: the streaming input of the readers.
//
// A ByteSource yields raw bytes (a file, memory, a decompressor stacked on
// another ByteSource). A LineSource yields numbered text lines (a buffered
// splitter over a ByteSource that validates UTF-8, or a decoder stacked on
// another LineSource). Failures are values; after one, a source is done.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "error/gnss_error.hpp"

namespace skyloam {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to buffer.size() bytes; 0 means the end of the input.
  virtual Result<std::size_t> read(std::span<char> buffer) = 0;
};

struct Line {
  std::size_t index;      // 0 for the first line of the file
  std::string_view text;  // without "\n" and one "\r" before it; valid until the next call
};

class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line, nothing at the end of the input, or the failure.
  virtual Result<std::optional<Line>> next() = 0;
};

}  // namespace skyloam
