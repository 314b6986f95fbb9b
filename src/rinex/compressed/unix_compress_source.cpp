#include "rinex/compressed/unix_compress_source.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace skyloam {

namespace {

constexpr std::uint32_t kClearCode = 256;
constexpr unsigned char kMagic0 = 0x1F;
constexpr unsigned char kMagic1 = 0x9D;

GnssError header_error(const std::string& what) {
  return GnssError::io("not readable as Unix-compressed (.Z) data: " + what);
}

}  // namespace

bool has_unix_compress_magic(std::span<const char> first_bytes) {
  return first_bytes.size() >= 2 && static_cast<unsigned char>(first_bytes[0]) == kMagic0 &&
         static_cast<unsigned char>(first_bytes[1]) == kMagic1;
}

UnixCompressSource::UnixCompressSource(std::unique_ptr<ByteSource> compressed)
    : compressed_(std::move(compressed)), codes_(*compressed_) {}

GnssError UnixCompressSource::damaged(const char* what, std::uint32_t code) const {
  return GnssError::io("Unix-compressed (.Z) data damaged near byte " +
                       std::to_string(codes_.byte_offset()) + ": " + what + " (code " +
                       std::to_string(code) + ", next free code " +
                       std::to_string(dictionary_->next()) + ")");
}

Result<void> UnixCompressSource::read_header() {
  std::uint8_t header[3];
  for (std::size_t i = 0; i < 3; ++i) {
    auto byte = codes_.read_byte();
    if (!byte) return fail(std::move(byte).error());
    if (!*byte) return fail(header_error("the 3-byte header is cut short"));
    header[i] = **byte;
  }
  if (header[0] != kMagic0 || header[1] != kMagic1) {
    return fail(header_error("wrong magic bytes (expected 1F 9D)"));
  }
  const unsigned flags = header[2];
  max_bits_ = flags & 0x1F;
  block_mode_ = (flags & 0x80) != 0;
  if (max_bits_ < 9 || max_bits_ > 16) {
    return fail(header_error("maximum code width " + std::to_string(max_bits_) +
                             " bits is outside 9-16"));
  }
  if ((flags & 0x60) != 0) return fail(header_error("unknown flag bits 0x60 are set"));
  dictionary_.emplace(max_bits_);
  clear_dictionary();
  return {};
}

void UnixCompressSource::clear_dictionary() {
  dictionary_->reset(block_mode_ ? kClearCode + 1 : kClearCode);
  width_ = 9;
  width_limit_ = 511;
  previous_.reset();
}

Result<void> UnixCompressSource::grow_width_if_due() {
  if (dictionary_->next() <= width_limit_) return {};
  if (auto skipped = codes_.end_segment(); !skipped) return skipped;
  ++width_;
  // With a 9-bit maximum the width still grows to 10 once, like the
  // original writer, and stays there until a CLEAR.
  width_limit_ = width_ == max_bits_ ? (std::uint32_t{1} << max_bits_)
                                     : (std::uint32_t{1} << width_) - 1;
  return {};
}

Result<std::size_t> UnixCompressSource::decode_into(std::span<char> buffer) {
  std::size_t produced = 0;
  while (produced < buffer.size()) {
    if (auto grown = grow_width_if_due(); !grown) return fail(std::move(grown).error());
    auto read = codes_.read_code(width_);
    if (!read) return fail(std::move(read).error());
    if (!*read) {
      finished_ = true;
      break;
    }
    const std::uint32_t code = **read;
    if (!previous_) {
      if (code >= 256) return fail(damaged("the first code after a start or CLEAR is not a byte", code));
      buffer[produced++] = static_cast<char>(code);
      previous_ = code;
      continue;
    }
    if (block_mode_ && code == kClearCode) {
      if (auto skipped = codes_.end_segment(); !skipped) return fail(std::move(skipped).error());
      clear_dictionary();
      continue;
    }
    const std::uint32_t next = dictionary_->next();
    if (code > next || (code == next && dictionary_->full())) {
      return fail(damaged("the code lies beyond the dictionary", code));
    }
    // code == next: the entry being made now, string(previous) + its first byte.
    const std::uint8_t first = dictionary_->first_byte(code < next ? code : *previous_);
    dictionary_->add(*previous_, first);
    previous_ = code;

    const std::uint32_t length = dictionary_->length(code);
    if (length <= buffer.size() - produced) {
      dictionary_->expand(code, buffer.data() + produced);
      produced += length;
    } else {
      dictionary_->expand(code, overflow_.data());
      overflow_pos_ = 0;
      overflow_end_ = length;
      break;
    }
  }
  return produced;
}

Result<std::size_t> UnixCompressSource::read(std::span<char> buffer) {
  if (failure_) return fail(*failure_);
  if (!dictionary_) {
    if (auto header = read_header(); !header) {
      failure_ = header.error();
      return fail(*failure_);
    }
    overflow_.resize(std::size_t{1} << max_bits_);
  }
  std::size_t produced = 0;
  while (produced < buffer.size()) {
    if (overflow_pos_ < overflow_end_) {
      const std::size_t n = std::min(overflow_end_ - overflow_pos_, buffer.size() - produced);
      std::memcpy(buffer.data() + produced, overflow_.data() + overflow_pos_, n);
      overflow_pos_ += n;
      produced += n;
      continue;
    }
    if (finished_) break;
    auto decoded = decode_into(buffer.subspan(produced));
    if (!decoded) {
      failure_ = decoded.error();
      return fail(*failure_);
    }
    produced += *decoded;
  }
  return produced;
}

}  // namespace skyloam
