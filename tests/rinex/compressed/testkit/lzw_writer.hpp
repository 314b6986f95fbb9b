// A test-only Unix compress (.Z) writer, so that the decoder can be checked
// on round trips of every header variant (maximum widths 9-16, with and
// without block mode, CLEAR codes anywhere) and on large streams. It packs
// codes in groups of 8 and pads a group at each width change and after each
// CLEAR, as the original writer does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skyloam::testing {

struct LzwWriterOptions {
  unsigned max_bits = 16;
  bool block_mode = true;
  bool clear_when_full = false;  // block mode: restart the table once it is full
  std::size_t clear_every = 0;   // block mode: a CLEAR after every this many codes
};

std::string write_unix_compress(std::string_view data, const LzwWriterOptions& options = {});

}  // namespace skyloam::testing
