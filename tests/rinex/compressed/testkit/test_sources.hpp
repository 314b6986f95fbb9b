// Test-only byte sources (owned bytes handed out in small chunks, a source
// that fails part-way) and helpers around the reader's own line splitter.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/line_splitter.hpp"

namespace skyloam::testing {

using skyloam::LineSplitter;

// Yields `bytes`, at most `chunk` bytes per read (small chunks exercise the
// decoders' buffer boundaries).
class ChunkedByteSource final : public ByteSource {
 public:
  explicit ChunkedByteSource(std::string bytes, std::size_t chunk = 1 << 16)
      : bytes_(std::move(bytes)), chunk_(chunk) {}
  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

// Yields `good` bytes, then fails with an Io error.
class FailingByteSource final : public ByteSource {
 public:
  explicit FailingByteSource(std::string good) : good_(std::move(good)) {}
  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  std::string good_;
  std::size_t pos_ = 0;
};

std::unique_ptr<LineSource> lines_of(std::string text);
std::string read_file(const std::string& path);
// All lines of a source, or its error text.
std::vector<std::string> drain(LineSource& lines, std::string* error = nullptr);

}  // namespace skyloam::testing
