// Why zlib refuses a gzip member: the reason text of its inflater, found by
// decoding the member again. Used to name the damage that the fast inflater
// of GzipByteSource reports only coarsely.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// Skips `offset` bytes of `source`, then inflates the gzip member there with
// zlib. Its reason when zlib finds the member damaged; nothing when zlib
// reads it whole, when it ends early, or when `source` fails.
std::optional<std::string> zlib_member_reason(ByteSource& source, std::uint64_t offset);

}  // namespace skyloam
