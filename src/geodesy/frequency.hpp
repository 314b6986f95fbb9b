// Carrier frequencies by system code letter, band digit and, for GLONASS
// bands 1 and 2, the FDMA channel number. Wavelength = c / frequency.
#pragma once

#include <cstdint>
#include <optional>

namespace skyloam {

// Hz, or nothing for a combination without a frequency. `letter` is the
// system code letter in exact case (no folding).
std::optional<double> carrier_frequency(char32_t letter, std::uint8_t band,
                                        std::optional<std::int8_t> channel);

}  // namespace skyloam
