// The body of a RINEX observation file, and whole files from a LineSource.
//
// `read_body` continues on the source `read_header` left on the first body
// line and files the epochs into an ObsData with the header. The header's
// generation picks the grammar: V2 the RINEX 2 blocks, V3 and V4 the
// RINEX 3 `>` epochs. Tolerant: unreadable fields take their fallbacks or
// are left out; event epochs (flags 2 to 5) are dropped with their records.
// Fails only with the source's failure or, in RINEX 3, with RinexParse
// "Epoch line too short" for a `>` line under 32 bytes (line index counted
// from the first line of the file). Nothing partial is returned.
#pragma once

#include "rinex/obs_reader/byte_source.hpp"
#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

Result<ObsData> read_body(LineSource& lines, RinexObsHeader header);

// The RINEX 3/4 grammar and the RINEX 2 grammar, whatever the header's
// version says.
Result<ObsData> read_rinex3_body(LineSource& lines, RinexObsHeader header);
Result<ObsData> read_rinex2_body(LineSource& lines, RinexObsHeader header);

// read_header, then read_body.
Result<ObsData> read_obs(LineSource& lines);

}  // namespace skyloam
