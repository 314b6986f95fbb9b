#include "load_observations.hpp"

namespace skyloam::bench {

Result<ObsData> load_observations(const std::string& path) {
  // Replace with the RINEX reader's entry point once it lands, e.g.
  //   return read_rinex_obs(path);   (plain or .gz)
  return fail(GnssError::message("no RINEX reader in this build yet; cannot load " + path));
}

}  // namespace skyloam::bench
