// The numbers of fixed-width observation fields, read fast.
//
// `parse_field_value` gives exactly what trimming the text and parsing it
// with parse_f64 gives (nothing for a blank or unreadable text). The usual
// form - blanks, an optional sign, at most 19 digits with one optional
// point, blanks - is converted directly: a mantissa below 2^53 divided by an
// exact power of ten is a single correctly rounded operation, the same
// double the general parser yields. Everything else takes the general path.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

#include "rinex/obs_reader/obs_data.hpp"
#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {

// The general path: trim, then parse_f64.
std::optional<double> parse_field_value_slow(std::string_view text);

inline std::optional<double> parse_field_value(std::string_view text) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && *p == ' ') ++p;
  if (p == end) return std::nullopt;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction_digits = -1;  // -1 until the point
  for (; p != end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - '0';
    if (digit < 10) {
      mantissa = mantissa * 10 + digit;
      ++digits;
      if (fraction_digits >= 0) ++fraction_digits;
    } else if (*p == '.' && fraction_digits < 0) {
      fraction_digits = 0;
    } else {
      break;
    }
  }
  while (p != end && *p == ' ') ++p;
  if (p != end || digits == 0 || digits > 19 || mantissa >= (std::uint64_t{1} << 53)) {
    return parse_field_value_slow(text);
  }
  const double magnitude = fraction_digits > 0
                               ? static_cast<double>(mantissa) / kPowersOfTen[fraction_digits]
                               : static_cast<double>(mantissa);
  return negative ? -magnitude : magnitude;
}

// An indicator character as its digit, or kNoIndicator for anything else.
inline std::uint8_t indicator_digit(char c) {
  const unsigned digit = static_cast<unsigned char>(c) - '0';
  return digit < 10 ? static_cast<std::uint8_t>(digit) : kNoIndicator;
}

// The indicator digit at `pos` of a field, or kNoIndicator when the field
// is shorter or holds anything else there.
inline std::uint8_t indicator_at(std::string_view field, std::size_t pos) {
  return pos < field.size() ? indicator_digit(field[pos]) : kNoIndicator;
}

// The usual integer field: blanks, one to nine digits, blanks. Nothing for
// any other text.
inline std::optional<std::uint32_t> blank_padded_digits(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const std::size_t first_digit = pos;
  std::uint32_t value = 0;
  for (; pos < text.size() && pos - first_digit < 10; ++pos) {
    const unsigned digit = static_cast<unsigned char>(text[pos]) - '0';
    if (digit >= 10) break;
    value = value * 10 + digit;
  }
  if (pos == first_digit || pos - first_digit > 9) return std::nullopt;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos != text.size()) return std::nullopt;
  return value;
}

// The trimmed columns [begin, end) of an epoch line as a T, or `fallback`
// when they do not parse (a blank field included).
template <class T>
T field_or(std::string_view line, std::size_t begin, std::size_t end, T fallback) {
  const std::string_view text = column(line, begin, end);
  if constexpr (std::is_floating_point_v<T>) {
    return parse_field_value(text).value_or(fallback);
  } else {
    if (const auto digits = blank_padded_digits(text);
        digits && *digits <= static_cast<std::uint64_t>(std::numeric_limits<T>::max())) {
      return static_cast<T>(*digits);
    }
    const auto value = parse_int<T>(trim(text));
    return value ? *value : fallback;
  }
}

// Flags 2 to 5 announce special records rather than observations.
inline bool is_event_flag(std::uint8_t flag) { return flag >= 2 && flag <= 5; }

}  // namespace skyloam
