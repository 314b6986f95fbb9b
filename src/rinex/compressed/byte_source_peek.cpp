#include "rinex/compressed/byte_source_peek.hpp"

#include <algorithm>
#include <cstring>

#include "rinex/compressed/unix_compress_source.hpp"

namespace skyloam {

Result<std::size_t> PrefixedByteSource::read(std::span<char> buffer) {
  if (prefix_pos_ < prefix_.size()) {
    const std::size_t n = std::min(buffer.size(), prefix_.size() - prefix_pos_);
    std::memcpy(buffer.data(), prefix_.data() + prefix_pos_, n);
    prefix_pos_ += n;
    return n;
  }
  return rest_->read(buffer);
}

Result<PeekedBytes> peek_bytes(std::unique_ptr<ByteSource> source, std::size_t count) {
  std::string first(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    auto n = source->read(std::span<char>(first).subspan(got));
    if (!n) return fail(std::move(n).error());
    if (*n == 0) break;
    got += *n;
  }
  first.resize(got);
  auto replay = std::make_unique<PrefixedByteSource>(first, std::move(source));
  return PeekedBytes{std::move(replay), std::move(first)};
}

Result<std::unique_ptr<ByteSource>> decompress_if_unix_compressed(std::unique_ptr<ByteSource> source) {
  auto peeked = peek_bytes(std::move(source), 2);
  if (!peeked) return fail(std::move(peeked).error());
  if (!has_unix_compress_magic(peeked->first_bytes)) return std::move(peeked->source);
  return std::unique_ptr<ByteSource>(std::make_unique<UnixCompressSource>(std::move(peeked->source)));
}

}  // namespace skyloam
