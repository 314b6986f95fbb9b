#include <array>
#include <cmath>

#include "navigation/broadcast/gnss_time.hpp"
#include "navigation/broadcast/record_ephemeris.hpp"
#include "navigation/broadcast/validity.hpp"

namespace skyloam {
namespace {

// Positions of the numbers in a Keplerian record (see RecordFields).
enum Field : std::size_t {
  kCrs = 4,
  kDeltaN,
  kM0,
  kCuc,
  kEccentricity,
  kCus,
  kSqrtA,
  kToe,
  kCic,
  kOmega0,
  kCis,
  kI0,
  kCrc,
  kPerigee,
  kOmegaDot,
  kIdot,
  kHealth = 24,
  kFit = 28,
};

constexpr double kMaxToeFromClock = 4 * 3600.0;

bool within(double value, double low, double high) { return value >= low && value <= high; }

std::optional<KeplerianElements> sane_elements(const RecordNumbers& numbers) {
  std::array<double, kIdot + 1> n{};
  for (std::size_t i = kCrs; i <= kIdot; ++i) {
    n[i] = numbers[i];
    if (!std::isfinite(n[i])) return std::nullopt;
  }
  const KeplerianElements k{n[kToe],    n[kSqrtA],   n[kEccentricity], n[kM0],
                            n[kDeltaN], n[kOmega0],  n[kOmegaDot],     n[kI0],
                            n[kIdot],   n[kPerigee], n[kCuc],          n[kCus],
                            n[kCrc],    n[kCrs],     n[kCic],          n[kCis]};
  const bool sane =
      within(k.toe, 0.0, kSecondsPerWeek) && within(k.sqrt_a, std::sqrt(1e7), std::sqrt(5e7)) &&
      within(k.eccentricity, 0.0, 0.3) && std::fabs(k.mean_motion_difference) <= 1e-7 &&
      std::fabs(k.node_rate) <= 1e-7 && std::fabs(k.inclination_rate) <= 1e-8 &&
      std::fabs(k.mean_anomaly) <= 7.0 && std::fabs(k.node) <= 7.0 &&
      std::fabs(k.inclination) <= 7.0 && std::fabs(k.perigee) <= 7.0 && std::fabs(k.cuc) <= 1e-3 &&
      std::fabs(k.cus) <= 1e-3 && std::fabs(k.cic) <= 1e-3 && std::fabs(k.cis) <= 1e-3 &&
      std::fabs(k.crc) <= 2000.0 && std::fabs(k.crs) <= 2000.0;
  if (!sane) return std::nullopt;
  return k;
}

KeplerConstants constants_of(GnssSystem system) {
  switch (system) {
    case GnssSystem::Galileo:
      return kGalileoConstants;
    case GnssSystem::BeiDou:
      return kBeidouConstants;
    default:
      return kGpsConstants;
  }
}

bool beidou_geostationary(const Satellite& s) {
  return s.system == GnssSystem::BeiDou && (s.prn <= 5 || (s.prn >= 59 && s.prn <= 63));
}

}  // namespace

std::optional<BroadcastEphemeris> keplerian_ephemeris(const RecordFields& record) {
  const RecordNumbers& n = record.numbers;
  if (n[kHealth] != 0.0) return std::nullopt;
  const auto elements = sane_elements(n);
  const auto clock = seconds_since_gps_origin(record.epoch);
  if (!elements || !clock) return std::nullopt;
  const double toe = time_of_week_near(elements->toe, *clock);
  if (std::fabs(toe - *clock) > kMaxToeFromClock) return std::nullopt;
  const GnssSystem system = record.satellite.system;
  const double reference = toe + (system == GnssSystem::BeiDou ? kBeidouBehindGps : 0.0);
  const ValiditySpan span = validity_span(system, n[kFit]);
  return BroadcastEphemeris{KeplerianOrbit(*elements, constants_of(system),
                                           beidou_geostationary(record.satellite), reference),
                            reference, reference - span.before, reference + span.after};
}

}  // namespace skyloam
