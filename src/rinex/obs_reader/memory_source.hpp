// MemoryByteSource: bytes the caller keeps alive for the source's lifetime
// (such as the buffer of a Python bytes object). Never fails.
#pragma once

#include <algorithm>
#include <cstring>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::span<const char> data) : rest_(data) {}

  Result<std::size_t> read(std::span<char> buffer) override {
    const std::size_t count = std::min(buffer.size(), rest_.size());
    if (count != 0) std::memcpy(buffer.data(), rest_.data(), count);
    rest_ = rest_.subspan(count);
    return count;
  }

 private:
  std::span<const char> rest_;
};

}  // namespace skyloam
