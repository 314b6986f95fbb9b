// Carrier frequencies of one satellite's bands, GLONASS channels, and the
// second-band rule shared by signal selection and the geometry-free slip test.
//
// A GLONASS slot takes its channel from the observation header's slot table,
// else from the default table below (slots 1-24), else channel 0. Bands are
// the digits 0-9 of observation codes; any other band has no frequency.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "rinex/obs_reader/obs_header.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam {

inline constexpr std::size_t kBandCount = 10;

std::int8_t glonass_channel(std::uint32_t slot, const RinexObsHeader& header);

// Bands tried, in order, for the second carrier phase of a system.
std::span<const std::uint8_t> second_band_priority(GnssSystem system);

// f1² / f2², the ratio every dual-frequency combination is built on.
inline double frequency_ratio_squared(double f1, double f2) { return (f1 * f1) / (f2 * f2); }

// The carrier frequency and wavelength of every band of one satellite.
class BandFrequencies {
 public:
  BandFrequencies(const Satellite& satellite, const RinexObsHeader& header);

  bool has(std::uint8_t band) const { return band < kBandCount && has_[band]; }
  // Hz; only meaningful when has(band).
  double frequency(std::uint8_t band) const { return hz_[band]; }
  // 299792458.0 / frequency, metres; only meaningful when has(band).
  double wavelength(std::uint8_t band) const { return metres_[band]; }

 private:
  std::array<double, kBandCount> hz_{};
  std::array<double, kBandCount> metres_{};
  std::array<bool, kBandCount> has_{};
};

// The bands that may pair with `band` as its second band, in priority order:
// the system's list without `band` itself, without bands lacking a frequency
// and without bands whose frequency ratio squared lies within 0.1 of 1.
// Empty when `band` has no frequency.
struct SecondBands {
  std::array<std::uint8_t, 5> bands{};
  std::uint8_t count = 0;

  std::span<const std::uint8_t> list() const { return {bands.data(), count}; }
};
SecondBands second_bands(GnssSystem system, std::uint8_t band, const BandFrequencies& frequencies);

}  // namespace skyloam
