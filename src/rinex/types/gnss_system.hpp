// GnssSystem: the constellations, their code letters and names.
//
// Declaration order is the enumeration order; sorting uses the code letter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "error/gnss_error.hpp"

namespace skyloam {

enum class GnssSystem : std::uint8_t { GPS, GLONASS, Galileo, BeiDou, QZSS, SBAS, NavIC, Mixed };

inline constexpr std::array<GnssSystem, 8> kAllSystems = {
    GnssSystem::GPS,  GnssSystem::GLONASS, GnssSystem::Galileo, GnssSystem::BeiDou,
    GnssSystem::QZSS, GnssSystem::SBAS,    GnssSystem::NavIC,   GnssSystem::Mixed};

// G, R, E, C, J, S, I, M.
char system_code(GnssSystem system);
// "GPS", "GLONASS", "Galileo", "BeiDou", "QZSS", "SBAS", "NavIC", "Mixed".
std::string_view system_name(GnssSystem system);
// "GPS", "GLO", "GAL", "BDS", "QZS", "SBS", "IRN", "MIX".
std::string_view system_short_name(GnssSystem system);

// The system of a code letter; a-z are upper-cased first.
std::optional<GnssSystem> system_from_letter(char letter);

// Three-letter name of the system named by the first character of `text`
// (a-z upper-cased); GPS for an empty text or an unknown letter.
std::string_view short_name_of_text(std::string_view text);

// "Empty system code" / "Unknown system: <text>" (Message kind) on failure.
Result<GnssSystem> parse_system(std::string_view text);

}  // namespace skyloam
