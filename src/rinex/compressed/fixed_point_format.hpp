// Writing scaled integers as RINEX fixed-point numbers (F14.3, F12.9, F15.12).
//
// `scaled` is the number times 10^Decimals. The text is sign, integer part,
// point and exactly `Decimals` digits ("-0.250", "0.000"), right-justified
// in `Width` columns. A text wider than the field is refused: no RINEX file
// could have held it, and a wider field would shift every column after it.
// This runs once per restored observation, hence the fixed sizes.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "utils/text/ascii_words.hpp"

namespace skyloam {

namespace fixed_point_detail {

// "00" "01" ... "99".
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// Writes `count` digits of `value` (the lowest ones) leftwards from `cursor`.
inline char* write_digits(std::uint64_t& value, int count, char* cursor) {
  for (; count >= 2; count -= 2) {
    cursor -= 2;
    std::memcpy(cursor, &kDigitPairs[static_cast<std::size_t>(2 * (value % 100))], 2);
    value /= 100;
  }
  if (count == 1) {
    *--cursor = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return cursor;
}

}  // namespace fixed_point_detail

// Writes out[0 .. Width); false (out untouched) when the text needs more.
template <int Decimals, int Width>
bool write_fixed_point(std::int64_t scaled, char* out) {
  static_assert(Decimals >= 1 && Width <= 24);
  using fixed_point_detail::write_digits;
  // 20 digits, a leading zero, a point and a sign at the most.
  char text[32];
  std::memset(text, ' ', sizeof text);
  char* const text_end = text + sizeof text;
  const bool negative = scaled < 0;
  // Negate in unsigned arithmetic so that the most negative value is exact.
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  char* cursor = write_digits(magnitude, Decimals, text_end);
  *--cursor = '.';
  do {
    cursor = write_digits(magnitude, magnitude >= 10 ? 2 : 1, cursor);
  } while (magnitude != 0);
  if (negative) *--cursor = '-';
  if (text_end - cursor > Width) return false;
  std::memcpy(out, text_end - Width, Width);
  return true;
}

// write_fixed_point<3, 14> without loops or byte stores: every restored
// observation value is written with it.
inline bool write_f14_3(std::int64_t scaled, char* out) {
  using namespace ascii_words;
  if (scaled > 9'999'999'999'999 || scaled < -999'999'999'999) return false;
  const bool negative = scaled < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  // Bytes 0-7: the first eight digits; 8-13: two more, the point and the
  // thousandths, from the text of the last five digits ("000ddddd").
  std::uint64_t head = eight_digits_text(static_cast<std::uint32_t>(magnitude / 100000));
  const std::uint64_t last_five = eight_digits_text(static_cast<std::uint32_t>(magnitude % 100000));
  std::uint64_t tail = ((last_five >> 24) & 0xFFFF) | std::uint64_t{'.'} << 16 | (last_five >> 40) << 24;
  // Leading zeros of the whole part become blanks; its last digit stays.
  const std::uint64_t marks = nonzero_bytes(head ^ kZeros);  // digits other than '0'
  const int first = marks != 0 ? std::countr_zero(marks) / 8 : ((tail & 0xFF) != '0' ? 8 : 9);
  const std::uint64_t blanks = low_bytes(static_cast<unsigned>(first));
  head = (head & ~blanks) | (kBlanks & blanks);
  if (first == 9) tail = (tail & ~std::uint64_t{0xFF}) | ' ';
  if (negative) {  // the range leaves room for the sign
    const int sign = first - 1;
    if (sign < 8) {
      head = (head & ~(std::uint64_t{0xFF} << (8 * sign))) | std::uint64_t{'-'} << (8 * sign);
    } else {
      tail = (tail & ~std::uint64_t{0xFF}) | '-';
    }
  }
  store(out, head, 8);
  store(out + 8, tail, 6);
  return true;
}

// Whether write_fixed_point would succeed.
template <int Decimals, int Width>
bool fits_fixed_point(std::int64_t scaled) {
  char scratch[Width];
  return write_fixed_point<Decimals, Width>(scaled, scratch);
}

}  // namespace skyloam
