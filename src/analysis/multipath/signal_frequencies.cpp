#include "analysis/multipath/signal_frequencies.hpp"

#include <cmath>

#include "geodesy/coordinates.hpp"
#include "geodesy/frequency.hpp"

namespace skyloam {
namespace {

constexpr std::array<std::int8_t, 24> kDefaultGlonassChannels = {
    1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1, -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2};

constexpr std::uint8_t kGps[] = {1, 2, 5};
constexpr std::uint8_t kGlonass[] = {1, 2, 3};
constexpr std::uint8_t kGalileo[] = {1, 5, 7, 8, 6};
constexpr std::uint8_t kBeiDou[] = {2, 7, 6, 1, 5};
constexpr std::uint8_t kQzss[] = {1, 2, 5, 6};
constexpr std::uint8_t kSbas[] = {1, 5};
constexpr std::uint8_t kNavic[] = {5, 9};

}  // namespace

std::int8_t glonass_channel(std::uint32_t slot, const RinexObsHeader& header) {
  if (const auto it = header.glonass_slots.find(slot); it != header.glonass_slots.end()) {
    return it->second;
  }
  if (slot >= 1 && slot <= kDefaultGlonassChannels.size()) return kDefaultGlonassChannels[slot - 1];
  return 0;
}

std::span<const std::uint8_t> second_band_priority(GnssSystem system) {
  switch (system) {
    case GnssSystem::GPS: return kGps;
    case GnssSystem::GLONASS: return kGlonass;
    case GnssSystem::Galileo: return kGalileo;
    case GnssSystem::BeiDou: return kBeiDou;
    case GnssSystem::QZSS: return kQzss;
    case GnssSystem::SBAS: return kSbas;
    case GnssSystem::NavIC: return kNavic;
    case GnssSystem::Mixed: return {};
  }
  return {};
}

BandFrequencies::BandFrequencies(const Satellite& satellite, const RinexObsHeader& header) {
  std::optional<std::int8_t> channel;
  if (satellite.system == GnssSystem::GLONASS) channel = glonass_channel(satellite.prn, header);
  const char32_t letter = static_cast<unsigned char>(system_code(satellite.system));
  for (std::uint8_t band = 0; band < kBandCount; ++band) {
    const auto hz = carrier_frequency(letter, band, channel);
    if (!hz) continue;
    has_[band] = true;
    hz_[band] = *hz;
    metres_[band] = kSpeedOfLight / *hz;
  }
}

SecondBands second_bands(GnssSystem system, std::uint8_t band, const BandFrequencies& frequencies) {
  SecondBands result;
  if (!frequencies.has(band)) return result;
  const double f1 = frequencies.frequency(band);
  for (const std::uint8_t candidate : second_band_priority(system)) {
    if (candidate == band || !frequencies.has(candidate)) continue;
    const double gamma = frequency_ratio_squared(f1, frequencies.frequency(candidate));
    if (std::abs(gamma - 1.0) < 0.1) continue;
    result.bands[result.count++] = candidate;
  }
  return result;
}

}  // namespace skyloam
