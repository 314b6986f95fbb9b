#include "rinex/obs_reader/utf8.hpp"

#include <cstdint>
#include <cstring>

namespace skyloam {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

std::uint64_t load_word(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Bytes of the sequence a lead byte announces; 0 for a byte that cannot
// start one (a continuation byte, C0, C1, F5..FF).
std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF5) return 4;
  return 0;
}

// Length of the well-formed sequence at p (at most `left` bytes), else 0.
std::size_t well_formed_length(const unsigned char* p, std::size_t left) {
  const std::size_t length = sequence_length(p[0]);
  if (length == 0 || length > left) return 0;
  // The second byte's range excludes overlong forms, surrogates and code
  // points above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (p[0] == 0xE0) low = 0xA0;
  if (p[0] == 0xED) high = 0x9F;
  if (p[0] == 0xF0) low = 0x90;
  if (p[0] == 0xF4) high = 0x8F;
  if (p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::size_t valid_utf8_prefix(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  std::size_t pos = 0;
  while (pos < size) {
    // Four words at a time while the text is ASCII.
    while (pos + 32 <= size) {
      const std::uint64_t any = load_word(bytes + pos) | load_word(bytes + pos + 8) |
                                load_word(bytes + pos + 16) | load_word(bytes + pos + 24);
      if ((any & kHighBits) != 0) break;
      pos += 32;
    }
    const std::size_t stop = pos + 32 <= size ? pos + 32 : size;
    while (pos < stop) {
      if (bytes[pos] < 0x80) {
        ++pos;
        continue;
      }
      const std::size_t length = well_formed_length(bytes + pos, size - pos);
      if (length == 0) return pos;
      pos += length;
    }
  }
  return size;
}

std::size_t complete_utf8_prefix(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const unsigned char byte = bytes[size - back];
    if ((byte & 0xC0) == 0x80) continue;  // continuation: look further back
    if (byte >= 0xC0 && sequence_length(byte) > back) return size - back;
    break;
  }
  return size;
}

}  // namespace skyloam
