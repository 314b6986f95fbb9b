// MpEstimate: one bias-free multipath sample of one signal, and the signal
// label the results are grouped by.
//
// A day of 1 Hz multi-GNSS data yields tens of millions of estimates, so the
// record is one cache line: the epoch's calendar time (computed once per
// epoch), the value, the geometry, and the SNR flag and arc number packed
// beside the code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/memory/large_memory.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam {

// Without orbits every estimate is placed here; the elevation fill-in from
// orbits replaces both later.
inline constexpr double kPlaceholderElevation = 45.0;
inline constexpr double kPlaceholderAzimuth = 0.0;

struct MpEstimate {
  CalendarTime time;
  double mp_value;   // metres
  double elevation;  // degrees
  double azimuth;    // degrees
  double snr_value;  // dB-Hz, meaningful only when has_snr
  Satellite satellite;
  ObsCode signal;  // the pseudorange
  bool has_snr;
  std::uint32_t arc;  // number of the arc within its satellite's signal: 0, 1, ... in series order

  std::optional<double> snr() const {
    return has_snr ? std::optional<double>(snr_value) : std::nullopt;
  }
};
static_assert(sizeof(MpEstimate) == 64);

// Estimates of a large day run to hundreds of megabytes.
using MpEstimateList = std::vector<MpEstimate, LargeAllocator<MpEstimate>>;

// Three-letter system name, 'M', band digit and attribute: "GPSM1C".
std::string signal_label(GnssSystem system, const ObsCode& pseudorange);

}  // namespace skyloam
