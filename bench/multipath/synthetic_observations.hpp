// A synthetic observation data set shaped like a multi-GNSS station day:
// GPS, Galileo and GLONASS satellites, each with twelve codes (code, phase,
// Doppler and SNR on three bands), consistent code and phase values, a few
// centimetres of code multipath, an outage every six hours, and now and then
// a cycle slip or loss-of-lock flag, so that every stage of the analysis
// does real work.
#pragma once

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::bench {

struct SyntheticShape {
  double hours = 24.0;
  double interval_seconds = 1.0;
  int gps = 24;
  int galileo = 8;
  int glonass = 8;
};

ObsData synthetic_observations(const SyntheticShape& shape);

}  // namespace skyloam::bench
