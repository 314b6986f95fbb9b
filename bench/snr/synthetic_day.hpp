// A synthetic observation data set for the SNR benchmark: one day at 1 Hz,
// `satellites` GPS satellites, each in view for two passes of about six hours
// (about half of them at any time, as a real receiver sees them), with
// C1C, L1C, S1C and S2W codes. S1C follows an elevation-like arch with
// multipath ripples of a few minutes.
#pragma once

#include <cstddef>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::bench {

ObsData synthetic_day(std::size_t satellites, std::size_t epochs = 86400);

}  // namespace skyloam::bench
