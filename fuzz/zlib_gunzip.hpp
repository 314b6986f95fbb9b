// The reference the gzip fuzz target holds the reader's inflater to: zlib
// alone, with the reader's rules for members, trailing bytes and errors.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace skyloam::fuzz {

struct Gunzipped {
  std::string bytes;
  std::optional<std::string> failure;  // the reader's error text
  bool complete = false;               // the end was reached within the limit
};

// Every member, as `gzip -d` reads them, up to `limit` output bytes.
Gunzipped gunzip_with_zlib(std::span<const char> input, std::size_t limit);

}  // namespace skyloam::fuzz
