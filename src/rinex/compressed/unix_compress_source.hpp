// UnixCompressSource: a ByteSource that yields the decoded content of Unix
// compress (.Z, LZW) data read from another ByteSource.
//
// The stream is a 3-byte header (1F 9D, then the flags byte: maximum code
// width 9-16 in bits 0-4, block mode in bit 7) and LZW codes up to the end of
// the input; there is no length and no checksum. Decoding streams with fixed
// memory (a dictionary of 2^maxbits entries and one input chunk). A wrong
// header, a code the dictionary cannot hold, or eight or more bits left over
// at the end are Io errors naming the byte offset; after an error every
// further read returns the same error. A stream cut at a code boundary cannot
// be told from a complete one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "error/gnss_error.hpp"
#include "rinex/compressed/lzw_code_reader.hpp"
#include "rinex/compressed/lzw_dictionary.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// The first two bytes of every .Z stream.
bool has_unix_compress_magic(std::span<const char> first_bytes);

class UnixCompressSource final : public ByteSource {
 public:
  explicit UnixCompressSource(std::unique_ptr<ByteSource> compressed);

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  Result<void> read_header();
  // Decodes codes into `buffer` until it is full or the data end; returns
  // how many bytes were written.
  Result<std::size_t> decode_into(std::span<char> buffer);
  // Widens the codes when the dictionary has outgrown the current width.
  Result<void> grow_width_if_due();
  void clear_dictionary();
  GnssError damaged(const char* what, std::uint32_t code) const;

  std::unique_ptr<ByteSource> compressed_;
  LzwCodeReader codes_;
  std::optional<LzwDictionary> dictionary_;  // made once the header is read
  std::optional<GnssError> failure_;
  bool finished_ = false;

  unsigned max_bits_ = 16;
  bool block_mode_ = true;
  unsigned width_ = 9;
  std::uint32_t width_limit_ = 511;  // the width grows when next() passes this
  std::optional<std::uint32_t> previous_;

  // A decoded string that did not fit the caller's buffer.
  std::vector<char> overflow_;
  std::size_t overflow_pos_ = 0;
  std::size_t overflow_end_ = 0;
};

}  // namespace skyloam
