// Observation values of the F14.3 shape read as scaled integers.
//
// Nearly every value of an observation file is written as F14.3: blanks, an
// optional '-', one to ten digits, '.', three digits. Those thirteen digits
// form an integer below 2^53; dividing it by 1000 is one correctly rounded
// operation, so the double is the one a correctly rounded decimal parser
// gives for the same text. Any other text is left to the general path.
//
// Two readers give the same results: one with SSE2 (every x86-64 processor
// has it) that reads the field in one vector, and a portable one that reads
// it eight bytes at a time. `read_f14_3` is the one the build can use.
#pragma once

#include <bit>
#include <cstdint>

#include "utils/text/ascii_words.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skyloam {

enum class FixedDecimal : std::uint8_t {
  Value,  // the F14.3 shape; the value was stored
  Blank,  // fourteen blanks
  Other,  // anything else: the caller parses the text in full
};


// Reads the 14 value bytes at `text`; 16 bytes must be readable there.
inline FixedDecimal read_f14_3_portable(const char* text, double& value) {
  using namespace ascii_words;
  std::uint64_t head = load(text);      // bytes 0-7
  std::uint64_t tail = load(text + 8);  // bytes 8-15; 14 and 15 are not ours
  constexpr std::uint64_t kSixBytes = 0xFFFFFFFFFFFFULL;
  if (head == kBlanks && (tail & kSixBytes) == (kBlanks & kSixBytes)) return FixedDecimal::Blank;
  if (((tail >> 16) & 0xFF) != '.') return FixedDecimal::Other;

  // The first byte of the integer part (bytes 0-9) that is not a blank.
  const std::uint64_t head_marks = nonzero_bytes(head ^ kBlanks);
  const std::uint64_t tail_marks = nonzero_bytes((tail ^ kBlanks) & 0xFFFF);
  if (head_marks == 0 && tail_marks == 0) return FixedDecimal::Other;
  unsigned first = head_marks != 0 ? static_cast<unsigned>(std::countr_zero(head_marks)) / 8
                                   : 8 + static_cast<unsigned>(std::countr_zero(tail_marks)) / 8;
  const bool negative = text[first] == '-';
  if (negative) ++first;  // a '-' without digits after it stays and fails below

  // Blanks and sign become leading zeros; then all thirteen must be digits.
  const std::uint64_t head_fill = low_bytes(first);
  head = (head & ~head_fill) | (kZeros & head_fill);
  if (first > 8) tail = (tail & ~std::uint64_t{0xFF}) | '0';
  // Bytes 8, 9, 11, 12 and 13 as the last five digits of a word of eight.
  const std::uint64_t five = (tail & 0xFFFF) | ((tail >> 8) & 0xFFFFFF0000ULL);
  const std::uint64_t low = (five << 24) | (kZeros & 0xFFFFFF);
  if (!all_digits(head) || !all_digits(low)) return FixedDecimal::Other;

  const std::uint64_t mantissa = eight_digits_value(head) * 100000 + eight_digits_value(low);
  const double magnitude = static_cast<double>(mantissa) / 1000.0;
  value = negative ? -magnitude : magnitude;
  return FixedDecimal::Value;
}

#if defined(__SSE2__)
inline FixedDecimal read_f14_3_sse2(const char* text, double& value) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
  const auto blanks = static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))) & 0x3FFF);
  if (blanks == 0x3FFF) return FixedDecimal::Blank;
  const unsigned integer_marks = ~blanks & 0x3FF;  // bytes 0-9 that are not blanks
  if (integer_marks == 0 || text[10] != '.') return FixedDecimal::Other;
  unsigned first = static_cast<unsigned>(std::countr_zero(integer_marks));
  const bool negative = text[first] == '-';
  if (negative) ++first;
  if (first > 9) return FixedDecimal::Other;

  const __m128i offsets = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(offsets, _mm_set1_epi8(9)), offsets);
  const unsigned needed = (0x3FFu & (~0u << first)) | 0x3800u;  // [first, 10) and 11-13
  if ((static_cast<unsigned>(_mm_movemask_epi8(is_digit)) & needed) != needed) {
    return FixedDecimal::Other;
  }
  // Digit values in bytes 0-13 (zero for blanks, sign and point), then pairs
  // of bytes as two-digit numbers in 16-bit lanes: c0c1 c2c3 c4c5 c6c7 c8c9
  // c11 c12c13 and 0.
  const __m128i value_bytes = _mm_set_epi8(0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i digits = _mm_and_si128(_mm_and_si128(offsets, is_digit), value_bytes);
  const __m128i pairs = _mm_add_epi16(
      _mm_mullo_epi16(_mm_and_si128(digits, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
      _mm_srli_epi16(digits, 8));
  // 32-bit lanes: c0..c3, c4..c7, c8 c9 c11 00, c12c13.
  const __m128i groups = _mm_madd_epi16(pairs, _mm_set_epi16(0, 1, 100, 1000, 1, 100, 1, 100));
  const auto low = static_cast<std::uint64_t>(_mm_cvtsi128_si64(groups));
  const auto high = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(groups, groups)));
  const std::uint64_t mantissa = (low & 0xFFFFFFFF) * 1000000000 + (low >> 32) * 100000 +
                                 (high & 0xFFFFFFFF) + (high >> 32);
  const double magnitude = static_cast<double>(mantissa) / 1000.0;
  value = negative ? -magnitude : magnitude;
  return FixedDecimal::Value;
}
#endif

inline FixedDecimal read_f14_3(const char* text, double& value) {
#if defined(__SSE2__)
  return read_f14_3_sse2(text, value);
#else
  return read_f14_3_portable(text, value);
#endif
}

}  // namespace skyloam
