#include "rinex/types/gnss_system.hpp"

#include <string>

namespace skyloam {

char system_code(GnssSystem system) {
  static constexpr char kCodes[] = {'G', 'R', 'E', 'C', 'J', 'S', 'I', 'M'};
  return kCodes[static_cast<std::size_t>(system)];
}

std::string_view system_name(GnssSystem system) {
  static constexpr std::string_view kNames[] = {"GPS",  "GLONASS", "Galileo", "BeiDou",
                                                "QZSS", "SBAS",    "NavIC",   "Mixed"};
  return kNames[static_cast<std::size_t>(system)];
}

std::string_view system_short_name(GnssSystem system) {
  static constexpr std::string_view kNames[] = {"GPS", "GLO", "GAL", "BDS",
                                                "QZS", "SBS", "IRN", "MIX"};
  return kNames[static_cast<std::size_t>(system)];
}

std::optional<GnssSystem> system_from_letter(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  switch (letter) {
    case 'G': return GnssSystem::GPS;
    case 'R': return GnssSystem::GLONASS;
    case 'E': return GnssSystem::Galileo;
    case 'C': return GnssSystem::BeiDou;
    case 'J': return GnssSystem::QZSS;
    case 'S': return GnssSystem::SBAS;
    case 'I': return GnssSystem::NavIC;
    case 'M': return GnssSystem::Mixed;
    default: return std::nullopt;
  }
}

std::string_view short_name_of_text(std::string_view text) {
  if (text.empty()) return system_short_name(GnssSystem::GPS);
  return system_short_name(system_from_letter(text.front()).value_or(GnssSystem::GPS));
}

Result<GnssSystem> parse_system(std::string_view text) {
  if (text.empty()) return fail(GnssError::message("Empty system code"));
  // A multi-byte first character never names a system.
  if (const auto system = system_from_letter(text.front())) return *system;
  return fail(GnssError::message("Unknown system: " + std::string(text)));
}

}  // namespace skyloam
