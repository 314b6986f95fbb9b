// MpEstimate: one bias-free multipath sample of one signal, as one record
// (the results keep their estimates as columns, EstimateStore), and the
// signal label the results are grouped by.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"

namespace skyloam {

// Without orbits every estimate is placed here; the elevation fill-in from
// orbits replaces both later.
inline constexpr double kPlaceholderElevation = 45.0;
inline constexpr double kPlaceholderAzimuth = 0.0;

struct MpEstimate {
  std::int64_t time_ms;  // Unix milliseconds of the epoch (floor): its ISO text
  double mp_value;       // metres
  double elevation;      // degrees
  double azimuth;        // degrees
  double snr_value;      // dB-Hz, NaN where absent
  Satellite satellite;
  ObsCode signal;  // the pseudorange

  std::optional<double> snr() const {
    return std::isnan(snr_value) ? std::nullopt : std::optional<double>(snr_value);
  }
};

// Three-letter system name, 'M', band digit and attribute: "GPSM1C".
std::string signal_label(GnssSystem system, const ObsCode& pseudorange);

}  // namespace skyloam
