#include "utils/text/format.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace skyloam {
namespace {

const char* non_finite(double value) {
  if (std::isnan(value)) return "NaN";
  return value > 0 ? "inf" : "-inf";
}

}  // namespace

std::string format_fixed(double value, int decimals) {
  if (!std::isfinite(value)) return non_finite(value);
  char text[512];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string format_shortest(double value) {
  if (!std::isfinite(value)) return non_finite(value);
  char text[512];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return std::string(text, result.ptr);
}

}  // namespace skyloam
