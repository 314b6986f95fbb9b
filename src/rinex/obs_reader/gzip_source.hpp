// GzipByteSource: the decompressed bytes of gzip data read from another
// ByteSource.
//
// Every member of a multi-member file is read, one after the other, as
// `gzip -d` does; bytes after the last member that do not start another
// member are ignored, as `gzip -d` ignores trailing garbage. Data that is
// not gzip, damaged data (a checksum or length mismatch included) and data
// that ends inside a member are Io errors; so is empty input.
//
// Members are inflated with ISA-L's igzip, several times faster than zlib;
// zlib reads their headers. igzip accepts what zlib accepts, with the same
// bytes, and refuses the same damage, with one leniency: a deflate block
// whose Huffman code is incomplete (no compressor writes one) is read when
// the member's checksum and length match, where zlib refuses the block.
// Damage is named as zlib names it: given `reopen`, a way to read the
// compressed bytes again from their start, a member igzip finds damaged is
// decoded again with zlib and zlib's failure is the error (igzip can see
// damage in data that zlib finds merely cut short); without it, igzip's
// coarser reason is given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

using ReopenBytes = std::function<Result<std::unique_ptr<ByteSource>>()>;

class GzipByteSource final : public ByteSource {
 public:
  explicit GzipByteSource(std::unique_ptr<ByteSource> compressed, ReopenBytes reopen = {});
  ~GzipByteSource() override;
  GzipByteSource(const GzipByteSource&) = delete;
  GzipByteSource& operator=(const GzipByteSource&) = delete;

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  struct Inflater;
  enum class Phase { BetweenMembers, Header, Body };

  // Moves the unread input to the front and reads more behind it; false
  // when the buffer was already full.
  Result<bool> refill_input();
  // More input for a decoder that made no progress, or the reason there is none.
  Result<void> more_input();
  // Starts the next member, or ends the data when the input holds no
  // further member.
  Result<void> start_next_member();
  Result<void> read_header();
  Result<void> inflate_body();
  // The error for damage igzip reported with `status`.
  GnssError damage_error(int status) const;
  // zlib's verdict on the current member when it can be read again, else
  // `fallback`.
  GnssError member_failure(GnssError fallback) const;

  std::unique_ptr<ByteSource> compressed_;
  ReopenBytes reopen_;
  std::unique_ptr<Inflater> inflater_;
  std::uint64_t buffer_offset_ = 0;  // compressed offset of the input buffer's first byte
  std::uint64_t member_offset_ = 0;  // compressed offset of the current member
  Phase phase_ = Phase::BetweenMembers;
  bool input_done_ = false;   // the compressed source is exhausted
  bool first_member_ = true;  // the first member starts whatever its bytes
  bool finished_ = false;     // no more output
};

}  // namespace skyloam
