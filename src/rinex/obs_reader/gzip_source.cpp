#include "rinex/obs_reader/gzip_source.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace skyloam {
namespace {

constexpr std::size_t kInputBytes = std::size_t{1} << 17;
constexpr int kGzipOnlyWindow = 16 + MAX_WBITS;

GnssError gzip_error(const z_stream& stream) {
  std::string text = "invalid gzip data";
  if (stream.msg != nullptr) text += std::string(": ") + stream.msg;
  return GnssError::io(std::move(text));
}

}  // namespace

struct GzipByteSource::Inflater {
  Inflater() {
    if (inflateInit2(&stream, kGzipOnlyWindow) != Z_OK) throw std::bad_alloc();
  }
  ~Inflater() { inflateEnd(&stream); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  z_stream stream{};
  unsigned char input[kInputBytes];
};

GzipByteSource::GzipByteSource(std::unique_ptr<ByteSource> compressed)
    : compressed_(std::move(compressed)), inflater_(std::make_unique<Inflater>()) {}

GzipByteSource::~GzipByteSource() = default;

Result<void> GzipByteSource::refill_input() {
  z_stream& stream = inflater_->stream;
  unsigned char* input = inflater_->input;
  if (stream.avail_in != 0 && stream.next_in != input) {
    std::memmove(input, stream.next_in, stream.avail_in);
  }
  stream.next_in = input;
  const std::size_t kept = stream.avail_in;
  auto got = compressed_->read(std::span<char>(reinterpret_cast<char*>(input) + kept,
                                               kInputBytes - kept));
  if (!got) return fail(std::move(got.error()));
  if (*got == 0) input_done_ = true;
  stream.avail_in = static_cast<uInt>(kept + *got);
  return {};
}

Result<void> GzipByteSource::start_next_member() {
  z_stream& stream = inflater_->stream;
  while (stream.avail_in < 2 && !input_done_) {
    if (auto refilled = refill_input(); !refilled) return refilled;
  }
  const bool magic = stream.avail_in >= 2 && stream.next_in[0] == 0x1f && stream.next_in[1] == 0x8b;
  if (!magic) {
    finished_ = true;
    return {};
  }
  inflateReset(&stream);
  in_member_ = true;
  return {};
}

Result<std::size_t> GzipByteSource::read(std::span<char> buffer) {
  z_stream& stream = inflater_->stream;
  // Slices of at most 1 GiB keep the count within zlib's 32-bit counters.
  const std::span<char> slice = buffer.first(std::min<std::size_t>(buffer.size(), 1u << 30));
  stream.next_out = reinterpret_cast<Bytef*>(slice.data());
  stream.avail_out = static_cast<uInt>(slice.size());
  while (!finished_ && stream.avail_out != 0) {
    if (!in_member_) {
      if (auto started = start_next_member(); !started) return fail(std::move(started.error()));
      continue;
    }
    if (stream.avail_in == 0 && !input_done_) {
      if (auto refilled = refill_input(); !refilled) return fail(std::move(refilled.error()));
      continue;
    }
    // Even without input left, inflate may still hold decoded output (or a
    // damage it finds only while writing it); only a call without progress
    // shows that the data end inside the member.
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status == Z_STREAM_END) {
      in_member_ = false;
    } else if (status == Z_BUF_ERROR && stream.avail_in == 0) {
      if (input_done_) return fail(GnssError::io("unexpected end of gzip data"));
    } else if (status != Z_OK) {
      // A buffer error with input left means no progress is possible.
      return fail(gzip_error(stream));
    }
  }
  return slice.size() - stream.avail_out;
}

}  // namespace skyloam
