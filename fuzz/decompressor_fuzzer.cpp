// A decompressor (FUZZ_GZIP: gzip, otherwise Unix compress) on compressed
// bytes held in memory. Its output and its outcome must not depend on how
// the caller's reads are sized, and gzip must give what zlib gives: the same
// bytes, the same success or failure, the same error text; then the same
// bytes are read as an observation file under FUZZ_FILE_NAME.
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
#include "zlib_gunzip.hpp"
#else
#include "rinex/compressed/unix_compress_source.hpp"
#endif

using namespace skyloam;

namespace {

#ifdef FUZZ_GZIP
// Damage is named by decoding again from the same bytes, as for bytes input.
GzipByteSource make_decompressor(std::span<const char> input) {
  return GzipByteSource(std::make_unique<MemoryByteSource>(input),
                        [input]() -> Result<std::unique_ptr<ByteSource>> {
                          return std::make_unique<MemoryByteSource>(input);
                        });
}
#else
UnixCompressSource make_decompressor(std::span<const char> input) {
  return UnixCompressSource(std::make_unique<MemoryByteSource>(input));
}
#endif

// Bombs are valid input; only their first bytes are compared.
constexpr std::size_t kOutputLimit = std::size_t{1} << 21;

struct Outcome {
  std::string bytes;
  std::optional<std::string> failure;
  bool complete = false;  // the end of the data was reached within the limit
};

// Reads everything with reads of the sizes in `pattern`, in turn.
Outcome decompress(std::span<const char> input, std::span<const std::size_t> pattern) {
  auto source = make_decompressor(input);
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

#ifdef FUZZ_GZIP
// zlib refuses a deflate block whose Huffman code is incomplete; igzip reads
// it, and a member made so is accepted when its checksum and length match.
bool incomplete_code(const std::optional<std::string>& failure) {
  for (const char* reason : {"invalid code lengths set", "invalid literal/lengths set",
                             "invalid distances set"}) {
    if (failure == std::string("I/O error: invalid gzip data: ") + reason) return true;
  }
  return false;
}

void check_same_as_zlib(const Outcome& ours, const fuzz::Gunzipped& zlib) {
  const std::size_t common = std::min(ours.bytes.size(), zlib.bytes.size());
  FUZZ_CHECK(ours.bytes.compare(0, common, zlib.bytes, 0, common) == 0, "bytes differ from zlib's");
  if (ours.complete && zlib.complete) {
    FUZZ_CHECK(ours.bytes == zlib.bytes, "bytes differ from zlib's");
  } else if (ours.failure && zlib.failure) {
    FUZZ_CHECK(*ours.failure == *zlib.failure, "the failure differs from zlib's");
  } else if (ours.complete != zlib.complete && (ours.failure || zlib.failure)) {
    FUZZ_CHECK(ours.complete && incomplete_code(zlib.failure), "success or failure differs from zlib's");
  }
}
#endif

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
#ifdef FUZZ_GZIP
  check_same_as_zlib(large, fuzz::gunzip_with_zlib(input, kOutputLimit));
#endif

  fuzz::check_obs_result(read_obs_bytes(input, FUZZ_FILE_NAME));
  return 0;
}
