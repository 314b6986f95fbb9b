// Broadcast orbits against precise orbits of the same day.
#pragma once

#include <map>
#include <string>

#include "navigation/broadcast/nav_data.hpp"
#include "navigation/sp3/sp3_data.hpp"

namespace skyloam::bench {

struct ErrorSummary {
  std::size_t count = 0;
  double sum_squares = 0.0;
  double max = 0.0;

  void add(double error);
  double rms() const;
};

// "G", "R", "E", "J", "I", "S", and for BeiDou "C MEO/IGSO" and "C GEO".
std::string orbit_class(const Satellite& satellite);

// The 3D error of NavData positions at the SP3 records' own epochs, per
// orbit class of the satellites whose system letter is in `systems`;
// records the navigation data has no position for are not counted.
std::map<std::string, ErrorSummary> errors_against_sp3(const NavData& nav, const Sp3Data& sp3,
                                                       const std::string& systems);

// The 3D error of every ephemeris, validity spans ignored, at the SP3
// epochs within 6 h of its reference time, per system and half-hour of age
// (time minus reference time): key (system letter, bin start in hours).
std::map<std::pair<char, double>, ErrorSummary> errors_by_age(const NavData& nav,
                                                              const Sp3Data& sp3,
                                                              const std::string& systems);

}  // namespace skyloam::bench
