// Looking at the first bytes of a ByteSource without losing them, and the
// content test that picks the Unix-compress decoder.
#pragma once

#include <memory>
#include <string>

#include "error/gnss_error.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// Yields `prefix` first, then the rest of `rest`.
class PrefixedByteSource final : public ByteSource {
 public:
  PrefixedByteSource(std::string prefix, std::unique_ptr<ByteSource> rest)
      : prefix_(std::move(prefix)), rest_(std::move(rest)) {}

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  std::string prefix_;
  std::size_t prefix_pos_ = 0;
  std::unique_ptr<ByteSource> rest_;
};

// Reads up to `count` bytes (fewer only at the end of the input) and gives
// back a source that still yields them first, with the bytes themselves.
struct PeekedBytes {
  std::unique_ptr<ByteSource> source;
  std::string first_bytes;
};
Result<PeekedBytes> peek_bytes(std::unique_ptr<ByteSource> source, std::size_t count);

// `source` itself (with its first bytes put back) when it does not start
// with the .Z magic bytes, otherwise a UnixCompressSource over it.
Result<std::unique_ptr<ByteSource>> decompress_if_unix_compressed(std::unique_ptr<ByteSource> source);

}  // namespace skyloam
