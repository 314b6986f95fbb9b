#include "rinex/obs_reader/zlib_member_check.hpp"

#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace skyloam {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;
constexpr int kGzipOnlyWindow = 16 + MAX_WBITS;

// Reads and drops `count` bytes; false when the source fails or ends first.
bool skip(ByteSource& source, std::uint64_t count, std::vector<char>& scratch) {
  while (count != 0) {
    auto got = source.read(std::span<char>(scratch.data(), std::min<std::uint64_t>(count, scratch.size())));
    if (!got || *got == 0) return false;
    count -= *got;
  }
  return true;
}

}  // namespace

GnssError invalid_gzip(std::string_view reason) {
  return GnssError::io("invalid gzip data: " + std::string(reason));
}

GnssError truncated_gzip() { return GnssError::io("unexpected end of gzip data"); }

std::optional<GnssError> zlib_member_error(ByteSource& source, std::uint64_t offset) {
  std::vector<char> input(kChunk);
  std::vector<unsigned char> output(kChunk);
  if (!skip(source, offset, input)) return std::nullopt;
  z_stream stream{};
  if (inflateInit2(&stream, kGzipOnlyWindow) != Z_OK) return std::nullopt;
  std::optional<GnssError> error;
  for (bool input_left = true; input_left;) {
    auto got = source.read(std::span<char>(input));
    if (!got) break;
    if (*got == 0) {
      error = truncated_gzip();
      break;
    }
    stream.next_in = reinterpret_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(*got);
    int status = Z_OK;
    do {  // until the input is used up and inflate holds no more output
      stream.next_out = output.data();
      stream.avail_out = static_cast<uInt>(output.size());
      status = inflate(&stream, Z_NO_FLUSH);
    } while (status == Z_OK && (stream.avail_in != 0 || stream.avail_out == 0));
    if (status == Z_DATA_ERROR) error = invalid_gzip(stream.msg != nullptr ? stream.msg : "");
    input_left = status == Z_OK || status == Z_BUF_ERROR;
  }
  inflateEnd(&stream);
  return error;
}

}  // namespace skyloam
