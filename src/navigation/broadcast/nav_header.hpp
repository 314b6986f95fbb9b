// The header of a RINEX navigation file (versions 2, 3 and 4).
//
// The first line that is not blank must be "RINEX VERSION / TYPE": a version
// 2.x, 3.x or 4.x (else UnsupportedVersion with the version columns) and the
// file type of navigation data (else a Navigation error): 'N' in every
// version, and in version 2 also 'G' (GLONASS), 'H' (SBAS) and 'E'
// (Galileo). "LEAP SECONDS" gives GPS - UTC from its first field (one to
// four fields and an optional system follow; a count stated in BeiDou time
// is converted). Everything else up to "END OF HEADER" is passed over. The
// source is left on the first record line.
#pragma once

#include <cstdint>
#include <optional>

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/obs_header.hpp"
#include "rinex/types/gnss_system.hpp"

namespace skyloam {

struct NavHeader {
  double version = 0.0;  // as written: 3.05, 2.1
  RinexGeneration generation = RinexGeneration::V3;
  // The one system of the file: the type letter of version 2, column 40 of
  // versions 3 and 4; nothing for mixed files.
  std::optional<GnssSystem> system;
  // The LEAP SECONDS count as written, and as GPS - UTC.
  std::optional<std::int32_t> leap_seconds;
  std::optional<std::int32_t> gps_minus_utc;
};

Result<NavHeader> read_nav_header(LineSource& lines);

}  // namespace skyloam
