// A decompressor (FUZZ_GZIP: gzip, otherwise Unix compress) on compressed
// bytes held in memory. Its output and its outcome must not depend on how
// the caller's reads are sized; then the same bytes are read as an
// observation file under FUZZ_FILE_NAME.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_check.hpp"
#include "obs_invariants.hpp"
#include "rinex/obs_reader/memory_source.hpp"
#include "rinex/obs_reader/obs_file.hpp"

#ifdef FUZZ_GZIP
#include "rinex/obs_reader/gzip_source.hpp"
using Decompressor = skyloam::GzipByteSource;
#else
#include "rinex/compressed/unix_compress_source.hpp"
using Decompressor = skyloam::UnixCompressSource;
#endif

using namespace skyloam;

namespace {

// Bombs are valid input; only their first bytes are compared.
constexpr std::size_t kOutputLimit = std::size_t{1} << 21;

struct Outcome {
  std::string bytes;
  std::optional<std::string> failure;
  bool complete = false;  // the end of the data was reached within the limit
};

// Reads everything with reads of the sizes in `pattern`, in turn.
Outcome decompress(std::span<const char> input, std::span<const std::size_t> pattern) {
  Decompressor source(std::make_unique<MemoryByteSource>(input));
  Outcome outcome;
  std::string buffer(*std::max_element(pattern.begin(), pattern.end()), '\0');
  for (std::size_t turn = 0; outcome.bytes.size() < kOutputLimit; ++turn) {
    const std::size_t want = pattern[turn % pattern.size()];
    auto got = source.read(std::span<char>(buffer.data(), want));
    if (!got) {
      outcome.failure = got.error().display();
      FUZZ_CHECK(!outcome.failure->empty(), "a failure without a text");
      return outcome;
    }
    FUZZ_CHECK(*got <= want, "a read returned more than it was asked for");
    if (*got == 0) {
      outcome.complete = true;
      return outcome;
    }
    outcome.bytes.append(buffer.data(), *got);
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = fuzz::as_chars(data, size);
  static constexpr std::size_t kLarge[] = {65536};
  static constexpr std::size_t kSmall[] = {1, 7, 3, 4096, 13, 2};
  const Outcome large = decompress(input, kLarge);
  const Outcome small = decompress(input, kSmall);

  const std::size_t common = std::min(large.bytes.size(), small.bytes.size());
  FUZZ_CHECK(large.bytes.compare(0, common, small.bytes, 0, common) == 0,
             "the output depends on the read sizes");
  const bool both_ended = (large.complete || large.failure) && (small.complete || small.failure);
  if (both_ended) {
    // Bytes decoded in the read that fails may be dropped, so only a
    // complete output is compared whole.
    FUZZ_CHECK(large.failure == small.failure, "the outcome depends on the read sizes");
    if (large.complete) FUZZ_CHECK(large.bytes == small.bytes, "the output depends on the read sizes");
  }

  fuzz::check_obs_result(read_obs_bytes(input, FUZZ_FILE_NAME));
  return 0;
}
