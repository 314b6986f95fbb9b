// read_sp3: an SP3 orbit file (versions a to d) into an Sp3Data.
//
// Tolerant: content never makes it fail. Lines that are not recognised are
// skipped, header fields that do not parse take their fallbacks (epoch count
// 0, interval 900 s; without a usable "##" line the interval is 0), and
// position records that cannot be used are dropped (see parse_position_line
// and Sp3Data). Records before the first epoch line are dropped; after an
// epoch line that does not parse, records stay with the previous epoch.
//
// The only failures are I/O failures (the Io kind): the file cannot be
// opened or read, or its text is not valid UTF-8. No partial data set is
// returned then.
#pragma once

#include <filesystem>

#include "error/gnss_error.hpp"
#include "navigation/sp3/sp3_data.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

Result<Sp3Data> read_sp3(const std::filesystem::path& path);

// The same over any line source (lines without their terminators).
Result<Sp3Data> read_sp3(LineSource& lines);

}  // namespace skyloam
