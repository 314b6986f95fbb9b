#include "synthetic_observations.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "geodesy/coordinates.hpp"
#include "geodesy/frequency.hpp"

namespace skyloam::bench {
namespace {

struct BandPlan {
  std::uint8_t band;
  char attribute;
};

struct SystemPlan {
  GnssSystem system;
  int count;
  std::array<BandPlan, 3> bands;
};

// A small deterministic generator: the figures must not depend on a seed.
class Noise {
 public:
  double next() {  // uniform in [-1, 1)
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) * (2.0 / 9007199254740992.0) - 1.0;
  }

 private:
  std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

struct SatelliteTrack {
  Satellite satellite;
  std::array<CodeId, 12> ids;  // per band: C, L, D, S
  std::array<double, 3> wavelength;
  std::array<double, 3> ambiguity;
  double range0, rate, phase_offset;
};

// GLONASS slot n uses channel n % 14 - 7, announced in the header.
std::int8_t glonass_channel_of(int slot) { return static_cast<std::int8_t>(slot % 14 - 7); }

std::vector<SatelliteTrack> plan_tracks(const SyntheticShape& shape, ObsDataBuilder& builder) {
  const SystemPlan plans[] = {
      {GnssSystem::GPS, shape.gps, {{{1, 'C'}, {2, 'W'}, {5, 'Q'}}}},
      {GnssSystem::Galileo, shape.galileo, {{{1, 'C'}, {5, 'Q'}, {7, 'Q'}}}},
      {GnssSystem::GLONASS, shape.glonass, {{{1, 'C'}, {2, 'P'}, {3, 'Q'}}}},
  };
  const ObsKind kinds[] = {ObsKind::Pseudorange, ObsKind::CarrierPhase, ObsKind::Doppler,
                           ObsKind::Snr};
  std::vector<SatelliteTrack> tracks;
  for (const SystemPlan& plan : plans) {
    for (int n = 1; n <= plan.count; ++n) {
      SatelliteTrack t{};
      t.satellite = {plan.system, static_cast<std::uint32_t>(n)};
      const auto channel = plan.system == GnssSystem::GLONASS
                               ? std::optional<std::int8_t>(glonass_channel_of(n))
                               : std::nullopt;
      for (std::size_t b = 0; b < 3; ++b) {
        for (std::size_t k = 0; k < 4; ++k) {
          t.ids[b * 4 + k] =
              builder.intern({kinds[k], plan.bands[b].band, plan.bands[b].attribute});
        }
        const char32_t letter = static_cast<unsigned char>(system_code(plan.system));
        t.wavelength[b] =
            kSpeedOfLight / carrier_frequency(letter, plan.bands[b].band, channel).value_or(1.5e9);
        t.ambiguity[b] = 1000.0 * static_cast<double>(n) - 300.0 * static_cast<double>(b);
      }
      t.range0 = 2.0e7 + 1.0e5 * n;
      t.rate = 300.0 - 37.0 * n;
      t.phase_offset = 0.1 * n;
      tracks.push_back(t);
    }
  }
  return tracks;
}

Epoch epoch_at(double seconds) {
  const auto whole = static_cast<std::int64_t>(std::floor(seconds));
  const CivilDate date = civil_from_days(days_from_civil(2024, 7, 27) + whole / 86400);
  return {static_cast<std::int32_t>(date.year),
          date.month,
          date.day,
          static_cast<std::uint32_t>(whole % 86400 / 3600),
          static_cast<std::uint32_t>(whole % 3600 / 60),
          static_cast<double>(whole % 60) + (seconds - static_cast<double>(whole))};
}

void add_satellite(ObsDataBuilder& builder, SatelliteTrack& t, double seconds, Noise& noise) {
  const double range = t.range0 + t.rate * seconds;
  const double multipath = 0.3 * std::sin(seconds / 400.0 + t.phase_offset);
  // Every ~5000 epochs one band slips by a few cycles and flags it.
  const bool slip = noise.next() > 0.9996;
  const auto slipped_band = static_cast<std::size_t>(slip ? (noise.next() + 1.0) * 1.5 : 3);
  builder.begin_satellite(t.satellite);
  for (std::size_t b = 0; b < 3; ++b) {
    if (b == slipped_band) t.ambiguity[b] += 7.0;
    const double code = range + multipath * (1.0 + 0.2 * b) + 0.2 * noise.next();
    const double phase = range / t.wavelength[b] + t.ambiguity[b] + 0.002 * noise.next();
    builder.add(t.ids[b * 4 + 0], code);
    builder.add(t.ids[b * 4 + 1], phase, b == slipped_band ? 1 : 0);
    builder.add(t.ids[b * 4 + 2], -t.rate / t.wavelength[b]);
    builder.add(t.ids[b * 4 + 3], 45.0 + 5.0 * noise.next());
  }
}

}  // namespace

ObsData synthetic_observations(const SyntheticShape& shape) {
  RinexObsHeader header;
  header.declared_interval = shape.interval_seconds;
  for (int slot = 1; slot <= shape.glonass; ++slot) {
    header.glonass_slots[static_cast<std::uint32_t>(slot)] = glonass_channel_of(slot);
  }
  ObsDataBuilder builder(std::move(header));
  std::vector<SatelliteTrack> tracks = plan_tracks(shape, builder);
  Noise noise;
  const auto epochs = static_cast<std::int64_t>(shape.hours * 3600.0 / shape.interval_seconds);
  for (std::int64_t e = 0; e < epochs; ++e) {
    const double seconds = static_cast<double>(e) * shape.interval_seconds;
    // A ten-minute outage every six hours.
    if (std::fmod(seconds, 21600.0) >= 21000.0) continue;
    for (SatelliteTrack& t : tracks) add_satellite(builder, t, seconds, noise);
    builder.commit_epoch(epoch_at(seconds), 0, std::nullopt);
  }
  return std::move(builder).finish();
}

}  // namespace skyloam::bench
