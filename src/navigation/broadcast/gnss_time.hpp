// Continuous time of the broadcast orbits: seconds since the GPS origin,
// 1980-01-06 00:00:00, counted in the time scale the fields are written in.
//
// Every satellite system keeps its own scale: GPS, Galileo, QZSS and NavIC
// run together (offsets of nanoseconds ignored), BeiDou time runs 14 s behind
// GPS time, GLONASS ephemerides are dated in UTC (GPS time = UTC + leap
// seconds) and SBAS in GPS time. Orbits are evaluated in GPS time, the time
// of RINEX observation epochs.
#pragma once

#include <cstdint>
#include <optional>

#include "rinex/types/gnss_system.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kSecondsPerWeek = 604800.0;
// BeiDou time = GPS time - 14 s.
inline constexpr double kBeidouBehindGps = 14.0;

// Seconds since 1980-01-06 00:00:00 of the fields, in their own scale.
// Nothing when they do not name a time: an invalid date, hour above 23,
// minute above 59, or seconds outside [0, 61) or not finite.
std::optional<double> seconds_since_gps_origin(const Epoch& epoch);

// The time `seconds_of_week` into the week that is nearest to `near` (both
// in one scale): the week number of a record is not trusted, its own date
// decides (so week rollovers and the week counts of other systems need no
// handling).
double time_of_week_near(double seconds_of_week, double near);

}  // namespace skyloam
