// Test-only sources: bytes from memory or a file, and a plain line splitter
// over any ByteSource. They stand in for the reader's own sources in the
// decoder tests and benchmarks.
#pragma once

#include <cstddef>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam::testing {

// Yields `bytes`, at most `chunk` bytes per read (small chunks exercise the
// decoders' buffer boundaries).
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::string bytes, std::size_t chunk = 1 << 16)
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

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path) : file_(path, std::ios::binary) {}
  bool is_open() const { return file_.is_open(); }
  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  std::ifstream file_;
};

// Splits at line feeds; drops one carriage return before each. Indexes
// count from 0.
class LineSplitter final : public LineSource {
 public:
  explicit LineSplitter(std::unique_ptr<ByteSource> bytes) : bytes_(std::move(bytes)) {}
  Result<std::optional<Line>> next() override;

 private:
  std::unique_ptr<ByteSource> bytes_;
  std::vector<char> buffer_ = std::vector<char>(1 << 16);
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool input_ended_ = false;
  std::size_t index_ = 0;
  std::string carry_;  // a line that spans buffer refills
};

std::unique_ptr<LineSource> lines_of(std::string text);
std::string read_file(const std::string& path);
// All lines of a source, or its error text.
std::vector<std::string> drain(LineSource& lines, std::string* error = nullptr);

}  // namespace skyloam::testing
