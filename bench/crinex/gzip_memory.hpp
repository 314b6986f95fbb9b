// zlib helpers of the CRINEX benchmark: gzip and gunzip in memory, and a
// streaming gunzip ByteSource so that the benchmark can time the stack a
// user's .crx.gz file goes through. Failures throw std::runtime_error (this
// is benchmark code, not the reader's gzip layer).
#pragma once

#include <memory>
#include <string>

#include <zlib.h>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam::bench {

std::string gunzip(const std::string& compressed);
std::string gzip(const std::string& plain, int level = 6);

class GunzipByteSource final : public ByteSource {
 public:
  explicit GunzipByteSource(std::unique_ptr<ByteSource> compressed);
  ~GunzipByteSource() override;
  GunzipByteSource(const GunzipByteSource&) = delete;
  GunzipByteSource& operator=(const GunzipByteSource&) = delete;

  Result<std::size_t> read(std::span<char> buffer) override;

 private:
  std::unique_ptr<ByteSource> compressed_;
  z_stream stream_{};
  std::string input_ = std::string(32768, '\0');
  bool ended_ = false;
};

}  // namespace skyloam::bench
