#include "orbit_accuracy.hpp"

#include <algorithm>
#include <cmath>

#include "navigation/broadcast/gnss_time.hpp"

namespace skyloam::bench {

void ErrorSummary::add(double error) {
  ++count;
  sum_squares += error * error;
  max = std::max(max, error);
}

double ErrorSummary::rms() const {
  return count == 0 ? 0.0 : std::sqrt(sum_squares / static_cast<double>(count));
}

std::string orbit_class(const Satellite& s) {
  if (s.system != GnssSystem::BeiDou) return std::string(1, system_code(s.system));
  const bool geo = s.prn <= 5 || (s.prn >= 59 && s.prn <= 63);
  return geo ? "C GEO" : "C MEO/IGSO";
}

std::map<std::string, ErrorSummary> errors_against_sp3(const NavData& nav, const Sp3Data& sp3,
                                                       const std::string& systems) {
  std::map<std::string, ErrorSummary> errors;
  for (const SatelliteOrbit& orbit : sp3.orbits()) {
    if (systems.find(system_code(orbit.satellite().system)) == std::string::npos) continue;
    for (const Sp3Record& record : orbit.records()) {
      const auto position = nav.position(orbit.satellite(), record.epoch);
      if (!position) continue;
      errors[orbit_class(orbit.satellite())].add(
          distance(*position, {record.x, record.y, record.z}));
    }
  }
  return errors;
}

std::map<std::pair<char, double>, ErrorSummary> errors_by_age(const NavData& nav,
                                                              const Sp3Data& sp3,
                                                              const std::string& systems) {
  std::map<std::pair<char, double>, ErrorSummary> errors;
  for (const SatelliteOrbit& orbit : sp3.orbits()) {
    const char letter = system_code(orbit.satellite().system);
    const SatelliteEphemerides* own = nav.ephemerides(orbit.satellite());
    if (systems.find(letter) == std::string::npos || own == nullptr) continue;
    if (orbit_class(orbit.satellite()) == "C GEO") continue;
    for (const BroadcastEphemeris& ephemeris : own->list()) {
      for (const Sp3Record& record : orbit.records()) {
        const double time = *seconds_since_gps_origin(record.epoch);
        const double age = time - ephemeris.reference;
        if (std::fabs(age) > 6 * 3600.0) continue;
        const double bin = std::floor(age / 1800.0) / 2.0;
        errors[{letter, bin}].add(
            distance(ephemeris.position(time), {record.x, record.y, record.z}));
      }
    }
  }
  return errors;
}

}  // namespace skyloam::bench
