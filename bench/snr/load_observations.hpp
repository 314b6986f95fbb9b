// Loads a real observation file for the SNR benchmark (--obs PATH).
//
// Integration point: the RINEX reader is written in parallel with this
// benchmark. Until it is linked in, load_observations fails with a message;
// afterwards its body is one call to the reader.
#pragma once

#include <string>

#include "error/gnss_error.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam::bench {

Result<ObsData> load_observations(const std::string& path);

}  // namespace skyloam::bench
