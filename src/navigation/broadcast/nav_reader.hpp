// Reading a RINEX navigation file (versions 2, 3 and 4) into a NavData.
//
// The input layers are those of observation files: plain text, gzip (every
// member) or Unix compress, chosen by the file name's extension, then lines
// checked for UTF-8. Failures: what the input layers report (FileNotFound,
// Io for I/O errors, damaged compressed data and text that is not UTF-8),
// and the header's (read_nav_header: not navigation data, an unsupported
// version). Content never fails otherwise: records that cannot be used are
// dropped (see record_fields.hpp and record_ephemeris.hpp). No partial data
// set is returned on failure. Safe to call from several threads at once.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "navigation/broadcast/nav_data.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

Result<NavData> read_nav(LineSource& lines);

Result<NavData> read_nav_file(const std::string& path);

// Bytes held in memory that came from a file called `filename` (which
// chooses the decompressor). No file is written.
Result<NavData> read_nav_bytes(std::span<const char> data, std::string_view filename);

}  // namespace skyloam
