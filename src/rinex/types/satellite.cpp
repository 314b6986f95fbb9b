#include "rinex/types/satellite.hpp"

#include <cstdio>

#include "utils/text/number_parse.hpp"
#include "utils/text/trim.hpp"

namespace skyloam {

std::optional<Satellite> parse_satellite(std::string_view text) {
  const std::string_view t = trim(text);
  if (t.size() < 2) return std::nullopt;
  const auto system = system_from_letter(t.front());
  if (!system) return std::nullopt;
  const auto prn = parse_int<std::uint32_t>(trim(t.substr(1)));
  if (!prn) return std::nullopt;
  return Satellite{*system, *prn};
}

std::string to_string(const Satellite& satellite) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%02u", system_code(satellite.system), satellite.prn);
  return text;
}

}  // namespace skyloam
