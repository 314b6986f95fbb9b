#include "rinex/obs_reader/gzip_source.hpp"

#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "rinex/obs_reader/zlib_member_check.hpp"

namespace skyloam {
namespace {

constexpr std::size_t kInputBytes = std::size_t{1} << 17;
constexpr int kGzipOnlyWindow = 16 + MAX_WBITS;
// zlib's inflate sets this bit of data_type when it stops after the header.
constexpr int kAfterHeader = 128;

// igzip's reason, in zlib's words where they mean the same.
std::string_view igzip_reason(int status) {
  switch (status) {
    case ISAL_INVALID_LOOKBACK: return "invalid distance too far back";
    case ISAL_INCORRECT_CHECKSUM: return "incorrect check value";
    case ISAL_INVALID_SYMBOL: return "invalid deflate code";
    default: return "invalid deflate block";
  }
}

}  // namespace

// zlib reads each member's header (igzip passes over reserved flag bits
// that zlib refuses, and loses its place in header fields longer than its
// input); igzip inflates the deflate data and checks the trailer.
// Both work on the one input buffer, whose unread part is body.next_in and
// body.avail_in.
struct GzipByteSource::Inflater {
  Inflater() {
    if (inflateInit2(&header, kGzipOnlyWindow) != Z_OK) throw std::bad_alloc();
    isal_inflate_init(&body);
    body.next_in = input;
    body.avail_in = 0;
  }
  ~Inflater() { inflateEnd(&header); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  z_stream header{};
  inflate_state body{};
  unsigned char input[kInputBytes];
};

GzipByteSource::GzipByteSource(std::unique_ptr<ByteSource> compressed, ReopenBytes reopen)
    : compressed_(std::move(compressed)),
      reopen_(std::move(reopen)),
      inflater_(std::make_unique<Inflater>()) {}

GzipByteSource::~GzipByteSource() = default;

Result<bool> GzipByteSource::refill_input() {
  inflate_state& body = inflater_->body;
  unsigned char* input = inflater_->input;
  const std::size_t kept = body.avail_in;
  if (kept == kInputBytes) return false;
  buffer_offset_ += static_cast<std::uint64_t>(body.next_in - input);
  if (kept != 0 && body.next_in != input) std::memmove(input, body.next_in, kept);
  body.next_in = input;
  auto got = compressed_->read(std::span<char>(reinterpret_cast<char*>(input) + kept, kInputBytes - kept));
  if (!got) return fail(std::move(got.error()));
  if (*got == 0) input_done_ = true;
  body.avail_in = static_cast<std::uint32_t>(kept + *got);
  return true;
}

Result<void> GzipByteSource::more_input() {
  if (input_done_) return fail(truncated_gzip());
  auto refilled = refill_input();
  if (!refilled) return fail(std::move(refilled.error()));
  // A full buffer that brings no progress cannot be valid data.
  if (!*refilled) return fail(damage_error(ISAL_INVALID_BLOCK));
  return {};
}

Result<void> GzipByteSource::start_next_member() {
  inflate_state& body = inflater_->body;
  while (body.avail_in < 2 && !input_done_) {
    if (auto refilled = refill_input(); !refilled) return fail(std::move(refilled.error()));
  }
  const bool magic = body.avail_in >= 2 && body.next_in[0] == 0x1f && body.next_in[1] == 0x8b;
  if (!first_member_ && !magic) {
    finished_ = true;
    return {};
  }
  first_member_ = false;
  member_offset_ = buffer_offset_ + static_cast<std::uint64_t>(body.next_in - inflater_->input);
  inflateReset(&inflater_->header);
  phase_ = Phase::Header;
  return {};
}

Result<void> GzipByteSource::read_header() {
  z_stream& header = inflater_->header;
  inflate_state& body = inflater_->body;
  unsigned char unused_output = 0;
  header.next_in = body.next_in;
  header.avail_in = body.avail_in;
  header.next_out = &unused_output;
  header.avail_out = 1;
  const int status = inflate(&header, Z_BLOCK);
  const std::uint32_t consumed = body.avail_in - header.avail_in;
  body.next_in += consumed;
  body.avail_in = header.avail_in;
  if (status == Z_DATA_ERROR) return fail(invalid_gzip(header.msg != nullptr ? header.msg : ""));
  if ((header.data_type & kAfterHeader) != 0) {
    unsigned char* const next_in = body.next_in;
    const std::uint32_t avail_in = body.avail_in;
    isal_inflate_reset(&body);
    body.crc_flag = ISAL_GZIP_NO_HDR_VER;
    body.next_in = next_in;
    body.avail_in = avail_in;
    phase_ = Phase::Body;
    return {};
  }
  if (consumed == 0) return more_input();
  return {};
}

Result<std::size_t> GzipByteSource::read(std::span<char> buffer) {
  inflate_state& body = inflater_->body;
  // Slices of at most 1 GiB keep the count within igzip's 32-bit counters.
  const std::span<char> slice = buffer.first(std::min<std::size_t>(buffer.size(), 1u << 30));
  body.next_out = reinterpret_cast<std::uint8_t*>(slice.data());
  body.avail_out = static_cast<std::uint32_t>(slice.size());
  while (!finished_ && body.avail_out != 0) {
    Result<void> step;
    switch (phase_) {
      case Phase::BetweenMembers: step = start_next_member(); break;
      case Phase::Header: step = read_header(); break;
      case Phase::Body: step = inflate_body(); break;
    }
    if (!step) return fail(std::move(step.error()));
  }
  return slice.size() - body.avail_out;
}

Result<void> GzipByteSource::inflate_body() {
  inflate_state& body = inflater_->body;
  const std::uint32_t in_before = body.avail_in;
  const std::uint32_t out_before = body.avail_out;
  const int status = isal_inflate(&body);
  if (status != ISAL_DECOMP_OK) return fail(damage_error(status));
  if (body.block_state == ISAL_BLOCK_FINISH) {
    phase_ = Phase::BetweenMembers;
    return {};
  }
  // Even without input left, igzip may still hold decoded output; only a
  // call without progress shows that it needs more input. (zlib may see
  // damage in a member cut short: a checksum before the length is complete.)
  if (body.avail_in != in_before || body.avail_out != out_before) return {};
  if (input_done_) return fail(member_failure(truncated_gzip()));
  return more_input();
}

GnssError GzipByteSource::damage_error(int status) const {
  return member_failure(invalid_gzip(igzip_reason(status)));
}

GnssError GzipByteSource::member_failure(GnssError fallback) const {
  if (reopen_) {
    if (auto again = reopen_()) {
      if (auto error = zlib_member_error(**again, member_offset_)) return std::move(*error);
    }
  }
  return fallback;
}

}  // namespace skyloam
