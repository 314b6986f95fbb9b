// LzwCodeReader: the bit level of Unix compress (.Z) data.
//
// Reads the codes of a .Z stream from a ByteSource: least significant bit
// first, of a width the caller gives per code. The writer packs codes in
// groups of 8 codes of one width and pads the group it is in when the width
// changes or after a CLEAR; `end_segment` skips that padding. The reader
// holds a fixed buffer of input, whatever the size of the stream. Bytes are
// counted from the start of the stream (header included) for messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "error/gnss_error.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

class LzwCodeReader {
 public:
  explicit LzwCodeReader(ByteSource& input);

  // The next byte of the stream (for the header), nothing at its end.
  Result<std::optional<std::uint8_t>> read_byte();

  // The next code of `width` bits, or nothing when fewer than `width` bits
  // are left. Eight or more bits left over at that point mean the stream
  // was cut or damaged: an Io error.
  Result<std::optional<std::uint32_t>> read_code(unsigned width);

  // Skips the padding up to the end of the current group of 8 codes (of the
  // width last read) and starts a new segment there. Reaching the end of the
  // stream while skipping is not an error.
  Result<void> end_segment();

  // Offset of the next unread byte, counted from the start of the stream.
  std::uint64_t byte_offset() const { return (consumed_bits_ + 7) / 8; }

 private:
  // Tops up the bit buffer to at least `bits` bits when the input allows.
  Result<void> fill(unsigned bits);
  Result<bool> refill_input();
  void drop(unsigned bits);

  ByteSource& input_;
  std::vector<char> chunk_;
  std::size_t chunk_pos_ = 0;
  std::size_t chunk_end_ = 0;
  bool input_ended_ = false;

  std::uint64_t bits_ = 0;       // unread bits, the next one lowest
  unsigned bit_count_ = 0;       // how many of them are valid
  std::uint64_t consumed_bits_ = 0;

  unsigned segment_codes_ = 0;   // codes read since the segment started
  unsigned segment_width_ = 9;   // their width
};

}  // namespace skyloam
