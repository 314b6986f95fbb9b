#include "zlib_gunzip.hpp"

#include <zlib.h>

namespace skyloam::fuzz {

Gunzipped gunzip_with_zlib(std::span<const char> input, std::size_t limit) {
  Gunzipped out;
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) std::abort();
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  unsigned char chunk[4096];
  while (out.bytes.size() < limit) {
    stream.next_out = chunk;
    stream.avail_out = sizeof chunk;
    const int status = inflate(&stream, Z_NO_FLUSH);
    out.bytes.append(reinterpret_cast<char*>(chunk), sizeof chunk - stream.avail_out);
    if (status == Z_STREAM_END) {
      // Another member follows only where its magic bytes do.
      if (stream.avail_in < 2 || stream.next_in[0] != 0x1f || stream.next_in[1] != 0x8b) {
        out.complete = true;
        break;
      }
      inflateReset(&stream);
    } else if (status == Z_BUF_ERROR) {
      out.failure = "I/O error: unexpected end of gzip data";
      break;
    } else if (status != Z_OK) {
      out.failure = std::string("I/O error: invalid gzip data: ") + (stream.msg ? stream.msg : "");
      break;
    }
  }
  inflateEnd(&stream);
  return out;
}

}  // namespace skyloam::fuzz
