// Satellite: a constellation plus a PRN or slot number.
//
// Ordered by the system's code letter ('C' < 'E' < 'G' < ... < 'S'), then by
// number; printed as the letter and the number padded to two digits (G01).
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rinex/types/gnss_system.hpp"

namespace skyloam {

struct Satellite {
  GnssSystem system = GnssSystem::GPS;
  std::uint32_t prn = 0;

  friend bool operator==(const Satellite&, const Satellite&) = default;
  friend std::strong_ordering operator<=>(const Satellite& a, const Satellite& b) {
    if (const auto c = system_code(a.system) <=> system_code(b.system); c != 0) return c;
    return a.prn <=> b.prn;
  }
};

// A key that sorts like Satellite: the code letter above the number.
inline std::uint64_t sort_key(const Satellite& s) {
  return (static_cast<std::uint64_t>(static_cast<unsigned char>(system_code(s.system))) << 32) |
         s.prn;
}

// Accepts "G01", "g1", " G 07 ", "E+5"; a letter, then an unsigned 32-bit
// number (optional '+'). Nothing for anything else.
std::optional<Satellite> parse_satellite(std::string_view text);

std::string to_string(const Satellite& satellite);

}  // namespace skyloam

template <>
struct std::hash<skyloam::Satellite> {
  std::size_t operator()(const skyloam::Satellite& s) const noexcept {
    return std::hash<std::uint64_t>()(skyloam::sort_key(s));
  }
};
