// GzipByteSource: the decompressed bytes of gzip data read from another
// ByteSource.
//
// Every member of a multi-member file is read, one after the other, as
// `gzip -d` does; bytes after the last member that do not start another
// member are ignored, as `gzip -d` ignores trailing garbage. Data that is
// not gzip, damaged data (a checksum or length mismatch included) and data
// that ends inside a member are Io errors; so is empty input.
#pragma once

#include <memory>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

class GzipByteSource final : public ByteSource {
 public:
  explicit GzipByteSource(std::unique_ptr<ByteSource> compressed);
  ~GzipByteSource() override;
  GzipByteSource(const GzipByteSource&) = delete;
  GzipByteSource& operator=(const GzipByteSource&) = delete;

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  struct Inflater;

  // Moves the unread input to the front and reads more behind it.
  Result<void> refill_input();
  // Between members: starts the next one, or ends the data when the input
  // holds no further member.
  Result<void> start_next_member();

  std::unique_ptr<ByteSource> compressed_;
  std::unique_ptr<Inflater> inflater_;
  bool input_done_ = false;   // the compressed source is exhausted
  bool in_member_ = true;     // inside a member (the first one starts at once)
  bool finished_ = false;     // no more output
};

}  // namespace skyloam
