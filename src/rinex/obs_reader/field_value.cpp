#include "rinex/obs_reader/field_value.hpp"

namespace skyloam {

std::optional<double> parse_field_value_slow(std::string_view text) {
  const std::string_view trimmed = trim(text);
  if (trimmed.empty()) return std::nullopt;
  const auto value = parse_f64(trimmed);
  if (!value) return std::nullopt;
  return *value;
}

}  // namespace skyloam
