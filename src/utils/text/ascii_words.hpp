// ASCII text eight bytes at a time: little-endian words whose lowest byte is
// the first character, tests of all their bytes at once, and the value of
// eight digits. The fixed-width readers and writers of observation values
// use them.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace skyloam::ascii_words {

inline constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;
inline constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
inline constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t load(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = std::byteswap(word);
  return word;
}

// Stores the low `count` bytes of `word` (at most 8), first byte first.
inline void store(char* bytes, std::uint64_t word, std::size_t count) {
  if constexpr (std::endian::native == std::endian::big) word = std::byteswap(word);
  std::memcpy(bytes, &word, count);
}

// The high bit of every byte of `word` that is not zero.
inline std::uint64_t nonzero_bytes(std::uint64_t word) {
  return (((word & kLow7) + kLow7) | word) & kHighBits;
}

// The high bit of every byte that is not an ASCII digit.
inline std::uint64_t non_digit_bytes(std::uint64_t word) {
  // Digits are 0x30-0x39: adding 0x46 sets the high bit from 0x3A on,
  // subtracting 0x30 (with the high bit kept clear) borrows below 0x30.
  const std::uint64_t above = (word & kLow7) + 0x4646464646464646ULL;
  const std::uint64_t below = (word | kHighBits) - kZeros;
  return (above | ~below | word) & kHighBits;
}

inline bool all_digits(std::uint64_t word) { return non_digit_bytes(word) == 0; }

// The low `count` bytes (0 to 8) of a word set.
inline std::uint64_t low_bytes(unsigned count) {
  return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// The value of eight digits, the first byte the most significant.
inline std::uint64_t eight_digits_value(std::uint64_t word) {
  std::uint64_t value = word - kZeros;
  value = (value * 10 + (value >> 8)) & 0x00FF00FF00FF00FFULL;
  value = (value * 100 + (value >> 16)) & 0x0000FFFF0000FFFFULL;
  return (value * 10000 + (value >> 32)) & 0xFFFFFFFFULL;
}

// The text of `value` (below 10^8) as eight digits, leading zeros included:
// split into halves, pairs and digits with multiplications that divide
// exactly in this range.
inline std::uint64_t eight_digits_text(std::uint32_t value) {
  const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
  const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
  const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
  const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
  return (tens | (pairs - tens * 10) << 8) | kZeros;
}

}  // namespace skyloam::ascii_words
