#include "geodesy/frequency.hpp"

namespace skyloam {
namespace {

constexpr double kL1 = 1575420000.0;
constexpr double kL2 = 1227600000.0;
constexpr double kL5 = 1176450000.0;
constexpr double kE6 = 1278750000.0;
constexpr double kE5b = 1207140000.0;
constexpr double kE5 = 1191795000.0;
constexpr double kB1I = 1561098000.0;
constexpr double kB3 = 1268520000.0;
constexpr double kG3 = 1202025000.0;
constexpr double kNavicS = 2492028000.0;

std::optional<double> glonass(std::uint8_t band, std::optional<std::int8_t> channel) {
  const double k = static_cast<double>(channel.value_or(0));
  switch (band) {
    case 1: return 1602000000.0 + k * 562500.0;
    case 2: return 1246000000.0 + k * 437500.0;
    case 3: return kG3;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<double> carrier_frequency(char32_t letter, std::uint8_t band,
                                        std::optional<std::int8_t> channel) {
  switch (letter) {
    case U'G':
      if (band == 1) return kL1;
      if (band == 2) return kL2;
      if (band == 5) return kL5;
      return std::nullopt;
    case U'R': return glonass(band, channel);
    case U'E':
      switch (band) {
        case 1: return kL1;
        case 5: return kL5;
        case 6: return kE6;
        case 7: return kE5b;
        case 8: return kE5;
        default: return std::nullopt;
      }
    case U'C':
      switch (band) {
        case 1: return kL1;
        case 2: return kB1I;
        case 5: return kL5;
        case 6: return kB3;
        case 7: return kE5b;
        default: return std::nullopt;
      }
    case U'J':
      switch (band) {
        case 1: return kL1;
        case 2: return kL2;
        case 5: return kL5;
        case 6: return kE6;
        default: return std::nullopt;
      }
    case U'S':
      if (band == 1) return kL1;
      if (band == 5) return kL5;
      return std::nullopt;
    case U'I':
      if (band == 5) return kL5;
      if (band == 9) return kNavicS;
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace skyloam
