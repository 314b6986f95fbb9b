#include "rinex/obs_reader/body_reader.hpp"

#include "rinex/obs_reader/header_reader.hpp"

namespace skyloam {

Result<ObsData> read_body(LineSource& lines, RinexObsHeader header) {
  if (header.version.major == RinexGeneration::V2) {
    return read_rinex2_body(lines, std::move(header));
  }
  return read_rinex3_body(lines, std::move(header));
}

Result<ObsData> read_obs(LineSource& lines) {
  auto header = read_header(lines);
  if (!header) return fail(std::move(header.error()));
  return read_body(lines, std::move(*header));
}

}  // namespace skyloam
