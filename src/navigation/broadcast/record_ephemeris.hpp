// The usable ephemeris of one navigation record, or nothing.
//
// Only healthy records that pass sanity checks are used; everything else is
// dropped without failing:
// - Keplerian (GPS, QZSS, Galileo, BeiDou, NavIC): every orbit element
//   present; health 0; sqrt(A) for a semi-major axis of 10 000 to 50 000
//   km; eccentricity below 0.3; rates and harmonic corrections within
//   bounds no real orbit comes near; toe within 4 h of the record's clock
//   epoch (toe is placed in the week nearest to that epoch, so week numbers
//   and their rollovers are not needed).
// - GLONASS: position, velocity and acceleration present; health 0; a
//   radius of 23 000 to 28 000 km and a speed of 1 to 6 km/s.
// - SBAS: the state present; health not 63 and URA below 32767 (the
//   "do not use" marks); a radius of 30 000 to 50 000 km.
// Reference times are moved onto GPS time: BeiDou + 14 s, GLONASS (UTC)
// + leap seconds.
#pragma once

#include <optional>

#include "navigation/broadcast/broadcast_ephemeris.hpp"
#include "navigation/broadcast/leap_seconds.hpp"
#include "navigation/broadcast/record_fields.hpp"

namespace skyloam {

std::optional<BroadcastEphemeris> keplerian_ephemeris(const RecordFields& record);
std::optional<BroadcastEphemeris> glonass_ephemeris(const RecordFields& record,
                                                    const LeapSeconds& leap_seconds);
std::optional<BroadcastEphemeris> sbas_ephemeris(const RecordFields& record);

// The one of the three the record's system asks for.
std::optional<BroadcastEphemeris> record_ephemeris(const RecordFields& record,
                                                   const LeapSeconds& leap_seconds);

}  // namespace skyloam
