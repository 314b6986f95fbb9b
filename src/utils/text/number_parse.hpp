// Strict decimal number parsing with the reasons users see in messages.
//
// Integers: an optional '+' (or '-' for signed types), then ASCII digits and
// nothing else. Floats: an optional sign, then digits with an optional point
// and exponent, or inf / infinity / nan in any case. No surrounding blanks:
// callers trim first. Out-of-range float literals become +-inf or +-0.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

#include "error/gnss_error.hpp"

namespace skyloam {

enum class IntParseError : std::uint8_t { Empty, InvalidDigit, PosOverflow, NegOverflow };
enum class FloatParseError : std::uint8_t { Empty, Invalid };

std::string_view describe(IntParseError error);
std::string_view describe(FloatParseError error);

// "Integer parse error: <reason>" / "Float parse error: <reason>".
GnssError to_gnss_error(IntParseError error);
GnssError to_gnss_error(FloatParseError error);

template <class T>
expected<T, IntParseError> parse_int(std::string_view text) {
  static_assert(std::is_integral_v<T>);
  if (text.empty()) return unexpected(IntParseError::Empty);
  bool negative = false;
  if (text.front() == '+' || (std::is_signed_v<T> && text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
    if (text.empty()) return unexpected(IntParseError::InvalidDigit);
  }
  using Wide = std::conditional_t<std::is_signed_v<T>, std::int64_t, std::uint64_t>;
  // Accumulate towards the sign so that the most negative value parses.
  Wide value = 0;
  constexpr Wide lo = std::numeric_limits<T>::min();
  constexpr Wide hi = std::numeric_limits<T>::max();
  for (const char c : text) {
    if (c < '0' || c > '9') return unexpected(IntParseError::InvalidDigit);
    const Wide digit = c - '0';
    if (negative) {
      if (value < (lo + digit) / 10) return unexpected(IntParseError::NegOverflow);
      value = value * 10 - digit;
    } else {
      if (value > (hi - digit) / 10) return unexpected(IntParseError::PosOverflow);
      value = value * 10 + digit;
    }
  }
  return static_cast<T>(value);
}

expected<double, FloatParseError> parse_f64(std::string_view text);

}  // namespace skyloam
