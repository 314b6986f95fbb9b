#include "navigation/broadcast/record_ephemeris.hpp"

namespace skyloam {

std::optional<BroadcastEphemeris> record_ephemeris(const RecordFields& record,
                                                   const LeapSeconds& leap_seconds) {
  switch (record.satellite.system) {
    case GnssSystem::GLONASS:
      return glonass_ephemeris(record, leap_seconds);
    case GnssSystem::SBAS:
      return sbas_ephemeris(record);
    case GnssSystem::Mixed:
      return std::nullopt;
    default:
      return keplerian_ephemeris(record);
  }
}

}  // namespace skyloam
