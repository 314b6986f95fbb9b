// UTF-8 validation of raw input bytes.
//
// `valid_utf8_prefix` returns how many leading bytes form well-formed UTF-8
// (shortest forms only, no surrogates, nothing above U+10FFFF); the size of
// the input when all of it does. Runs of ASCII are checked a word at a time.
// `complete_utf8_prefix` is the length up to the start of a multi-byte
// sequence cut off by the end of the input, so that a stream can be checked
// chunk by chunk without splitting a character.
#pragma once

#include <cstddef>

namespace skyloam {

std::size_t valid_utf8_prefix(const char* data, std::size_t size);

std::size_t complete_utf8_prefix(const char* data, std::size_t size);

}  // namespace skyloam
