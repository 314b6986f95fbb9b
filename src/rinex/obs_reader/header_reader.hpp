// read_header: the header of a RINEX observation file.
//
// Consumes lines up to and including the one labelled "END OF HEADER" (or
// to the end of the input, when there is none) and leaves the source on the
// first body line. Tolerant: unknown labels, short lines and fields that do
// not parse are passed over. Fails only with the source's own failure or
// with UnsupportedVersion ("Unsupported RINEX version: " + the trimmed
// version columns) for a version line it cannot use.
#pragma once

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/obs_header.hpp"

namespace skyloam {

Result<RinexObsHeader> read_header(LineSource& lines);

}  // namespace skyloam
