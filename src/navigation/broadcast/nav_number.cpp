#include "navigation/broadcast/nav_number.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace skyloam {
namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnknownMarker = 999999999.0;

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool is_exponent_letter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// The general path: the text with its exponent letter made 'e', read whole.
double parse_general(std::string_view text) {
  char buffer[64];
  if (text.size() >= sizeof buffer) return kMissing;
  std::size_t size = 0;
  for (const char c : text) buffer[size++] = is_exponent_letter(c) ? 'e' : c;
  const char* begin = buffer;
  if (size > 1 && buffer[0] == '+' && buffer[1] != '-') ++begin;
  double value = 0.0;
  const auto [end, error] = std::from_chars(begin, buffer + size, value);
  if (error != std::errc() || end != buffer + size) return kMissing;
  return value;
}

// [sign] digits [. digits] [exponent letter [sign] digits]: mantissa and
// power of ten, or false for anything else.
bool split_decimal(std::string_view text, bool& negative, std::uint64_t& mantissa, int& power) {
  const char* p = text.data();
  const char* const end = p + text.size();
  negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int digits = 0, fraction = 0;
  bool point = false;
  mantissa = 0;
  for (; p != end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - '0';
    if (digit < 10) {
      if (++digits > 19) return false;
      mantissa = mantissa * 10 + digit;
      fraction += point ? 1 : 0;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  int exponent = 0;
  if (p != end) {
    if (!is_exponent_letter(*p) || ++p == end) return false;
    const bool exponent_negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (p == end || end - p > 3) return false;
    for (; p != end; ++p) {
      const unsigned digit = static_cast<unsigned char>(*p) - '0';
      if (digit >= 10) return false;
      exponent = exponent * 10 + static_cast<int>(digit);
    }
    if (exponent_negative) exponent = -exponent;
  }
  power = exponent - fraction;
  return true;
}

double checked(double value) {
  return std::isfinite(value) && value < kUnknownMarker ? value : kMissing;
}

}  // namespace

double parse_nav_number(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (field.empty()) return kMissing;
  bool negative = false;
  std::uint64_t mantissa = 0;
  int power = 0;
  if (!split_decimal(field, negative, mantissa, power)) return checked(parse_general(field));
  // A mantissa below 2^53 and an exact power of ten make one correctly
  // rounded operation, the double the general parser gives.
  if (mantissa >= (std::uint64_t{1} << 53) || power < -22 || power > 22) {
    return checked(parse_general(field));
  }
  const double magnitude = power < 0 ? static_cast<double>(mantissa) / kPowersOfTen[-power]
                                     : static_cast<double>(mantissa) * kPowersOfTen[power];
  return checked(negative ? -magnitude : magnitude);
}

}  // namespace skyloam
