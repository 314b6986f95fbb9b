#include "gzip_memory.hpp"

#include <stdexcept>

#include <zlib.h>

namespace skyloam::bench {

namespace {
constexpr int kGzipWindow = 15 + 16;  // gzip wrapper, 32 KiB window

Bytef* bytes(const char* data) { return reinterpret_cast<Bytef*>(const_cast<char*>(data)); }
}  // namespace

std::string gunzip(const std::string& compressed) {
  z_stream stream{};
  if (inflateInit2(&stream, kGzipWindow) != Z_OK) throw std::runtime_error("inflateInit2");
  stream.next_in = bytes(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());
  std::string out;
  std::string chunk(1 << 20, '\0');
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    stream.next_out = bytes(chunk.data());
    stream.avail_out = static_cast<uInt>(chunk.size());
    status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) {
      inflateEnd(&stream);
      throw std::runtime_error("damaged gzip data");
    }
    out.append(chunk.data(), chunk.size() - stream.avail_out);
  }
  inflateEnd(&stream);
  return out;
}

std::string gzip(const std::string& plain, int level) {
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, kGzipWindow, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(plain.size())), '\0');
  stream.next_in = bytes(plain.data());
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = bytes(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace skyloam::bench
