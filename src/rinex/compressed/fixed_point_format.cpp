#include "rinex/compressed/fixed_point_format.hpp"

#include <cstring>

namespace skyloam {

bool write_fixed_point(std::int64_t scaled, int decimals, int width, char* out) {
  // 20 digits, a point, a sign and up to 12 leading zeros at the most.
  char text[40];
  char* cursor = text + sizeof text;
  const bool negative = scaled < 0;
  // Negate in unsigned arithmetic so that the most negative value is exact.
  std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(scaled) + 1 : static_cast<std::uint64_t>(scaled);
  for (int i = 0; i < decimals; ++i) {
    *--cursor = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  *--cursor = '.';
  do {
    *--cursor = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) *--cursor = '-';
  const auto length = static_cast<int>(text + sizeof text - cursor);
  if (length > width) return false;
  std::memset(out, ' ', static_cast<std::size_t>(width - length));
  std::memcpy(out + (width - length), cursor, static_cast<std::size_t>(length));
  return true;
}

bool fits_fixed_point(std::int64_t scaled, int decimals, int width) {
  char scratch[40];
  return width <= static_cast<int>(sizeof scratch) && write_fixed_point(scaled, decimals, width, scratch);
}

}  // namespace skyloam
