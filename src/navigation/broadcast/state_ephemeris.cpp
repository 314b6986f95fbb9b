#include <cmath>
#include <limits>

#include "navigation/broadcast/gnss_time.hpp"
#include "navigation/broadcast/record_ephemeris.hpp"
#include "navigation/broadcast/validity.hpp"

namespace skyloam {
namespace {

// Positions of the numbers in GLONASS and SBAS records (see RecordFields):
// x, its rate and acceleration, then health (GLONASS, SBAS), likewise y with
// the frequency number (GLONASS) or URA (SBAS), then z.
enum Field : std::size_t { kX = 3, kHealth = 6, kY = 7, kUra = 10, kZ = 11 };

constexpr double kKilometre = 1000.0;

// The state in metres, or nothing when a part is missing.
std::optional<StateVector> state_of(const RecordNumbers& n) {
  StateVector state;
  const std::size_t axes[3] = {kX, kY, kZ};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const std::size_t at = axes[axis];
    if (!std::isfinite(n[at]) || !std::isfinite(n[at + 1]) || !std::isfinite(n[at + 2])) {
      return std::nullopt;
    }
    state.position[axis] = n[at] * kKilometre;
    state.velocity[axis] = n[at + 1] * kKilometre;
    state.acceleration[axis] = n[at + 2] * kKilometre;
  }
  return state;
}

double norm(const std::array<double, 3>& v) {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

bool within(double value, double low, double high) { return value >= low && value <= high; }

BroadcastEphemeris serving(BroadcastOrbit orbit, double reference, GnssSystem system) {
  const ValiditySpan span = validity_span(system, std::numeric_limits<double>::quiet_NaN());
  return {std::move(orbit), reference, reference - span.before, reference + span.after};
}

}  // namespace

std::optional<BroadcastEphemeris> glonass_ephemeris(const RecordFields& record,
                                                    const LeapSeconds& leap_seconds) {
  const RecordNumbers& n = record.numbers;
  if (n[kHealth] != 0.0) return std::nullopt;
  const auto state = state_of(n);
  const auto utc = seconds_since_gps_origin(record.epoch);
  if (!state || !utc) return std::nullopt;
  if (!within(norm(state->position), 2.3e7, 2.8e7) || !within(norm(state->velocity), 1e3, 6e3) ||
      !(norm(state->acceleration) <= 1e-4)) {
    return std::nullopt;
  }
  const double tb = *utc + leap_seconds.at_utc(*utc);
  return serving(GlonassOrbit(*state, tb), tb, GnssSystem::GLONASS);
}

std::optional<BroadcastEphemeris> sbas_ephemeris(const RecordFields& record) {
  const RecordNumbers& n = record.numbers;
  const double health = n[kHealth];
  if (!std::isfinite(health) || health == 63.0 || !(n[kUra] < 32767.0)) {
    return std::nullopt;
  }
  const auto state = state_of(n);
  const auto t0 = seconds_since_gps_origin(record.epoch);
  if (!state || !t0) return std::nullopt;
  if (!within(norm(state->position), 3e7, 5e7) || !(norm(state->velocity) <= 5e3) ||
      !(norm(state->acceleration) <= 1.0)) {
    return std::nullopt;
  }
  return serving(SbasOrbit(*state, *t0), *t0, GnssSystem::SBAS);
}

}  // namespace skyloam
