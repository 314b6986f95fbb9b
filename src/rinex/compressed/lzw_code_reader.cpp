#include "rinex/compressed/lzw_code_reader.hpp"

#include <string>

namespace skyloam {

namespace {
constexpr std::size_t kChunkSize = 64 * 1024;
}

LzwCodeReader::LzwCodeReader(ByteSource& input) : input_(input), chunk_(kChunkSize) {}

Result<bool> LzwCodeReader::refill_input() {
  if (input_ended_) return false;
  auto got = input_.read(chunk_);
  if (!got) return fail(std::move(got).error());
  chunk_pos_ = 0;
  chunk_end_ = *got;
  if (*got == 0) input_ended_ = true;
  return *got != 0;
}

Result<void> LzwCodeReader::fill(unsigned bits) {
  while (bit_count_ < bits) {
    if (chunk_pos_ == chunk_end_) {
      auto more = refill_input();
      if (!more) return fail(std::move(more).error());
      if (!*more) return {};
    }
    // Take as many whole bytes as fit; the usual case needs no refill.
    while (bit_count_ <= 56 && chunk_pos_ < chunk_end_) {
      bits_ |= std::uint64_t{static_cast<unsigned char>(chunk_[chunk_pos_++])} << bit_count_;
      bit_count_ += 8;
    }
  }
  return {};
}

void LzwCodeReader::drop(unsigned bits) {
  // A shift by the full width would leave the bits in place.
  bits_ = bits >= 64 ? 0 : bits_ >> bits;
  bit_count_ -= bits;
  consumed_bits_ += bits;
}

Result<std::optional<std::uint8_t>> LzwCodeReader::read_byte() {
  if (auto filled = fill(8); !filled) return fail(std::move(filled).error());
  if (bit_count_ < 8) return std::optional<std::uint8_t>{};
  const auto byte = static_cast<std::uint8_t>(bits_ & 0xFF);
  drop(8);
  return std::optional<std::uint8_t>{byte};
}

Result<std::optional<std::uint32_t>> LzwCodeReader::read_code(unsigned width) {
  if (bit_count_ < width) {
    if (auto filled = fill(width); !filled) return fail(std::move(filled).error());
    if (bit_count_ < width) {
      // The writer pads the last code to a byte boundary: at most 7 bits.
      if (bit_count_ >= 8) {
        return fail(GnssError::io("Unix-compressed (.Z) data truncated or damaged: " +
                                  std::to_string(bit_count_) +
                                  " bits left over at the end, fewer than one code"));
      }
      return std::optional<std::uint32_t>{};
    }
  }
  const auto code = static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << width) - 1));
  drop(width);
  if (segment_width_ != width) {
    segment_width_ = width;
    segment_codes_ = 0;
  }
  ++segment_codes_;
  return std::optional<std::uint32_t>{code};
}

Result<void> LzwCodeReader::end_segment() {
  const unsigned in_group = segment_codes_ % 8;
  std::uint64_t skip = in_group == 0 ? 0 : std::uint64_t{8 - in_group} * segment_width_;
  segment_codes_ = 0;
  while (skip > 0) {
    if (bit_count_ == 0) {
      if (auto filled = fill(8); !filled) return fail(std::move(filled).error());
      if (bit_count_ == 0) return {};  // the padding runs into the end of the stream
    }
    const unsigned now = skip < bit_count_ ? static_cast<unsigned>(skip) : bit_count_;
    drop(now);
    skip -= now;
  }
  return {};
}

}  // namespace skyloam
