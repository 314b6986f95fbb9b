// zlib's verdict on one gzip member, and the texts of gzip failures.
//
// GzipByteSource inflates with a faster library that names damage only
// coarsely; decoding the damaged member again with zlib gives the failure
// its usual text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// "invalid gzip data: <reason>" and "unexpected end of gzip data".
GnssError invalid_gzip(std::string_view reason);
GnssError truncated_gzip();

// Skips `offset` bytes of `source`, then inflates the gzip member there with
// zlib: the failure that gives, damage or an early end; nothing when zlib
// reads the member whole or `source` fails.
std::optional<GnssError> zlib_member_error(ByteSource& source, std::uint64_t offset);

}  // namespace skyloam
