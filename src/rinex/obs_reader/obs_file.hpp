// Reading a whole observation data set from a file or from memory.
//
// read_obs_file: FileNotFound ("File not found: " + path) when the path's
// metadata cannot be read; Io for open, read and decompression failures and
// for text that is not UTF-8; then the header and body failures. The
// extension of the last path component picks gzip ("gz", lower case).
//
// read_obs_bytes: the same parse over bytes held in memory, with `filename`
// standing in for the path when choosing the layers. No file is written.
// Safe to call from several threads at once; no shared state.
#pragma once

#include <span>
#include <string_view>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

Result<ObsData> read_obs_file(std::string_view path);

Result<ObsData> read_obs_bytes(std::span<const char> data, std::string_view filename);

}  // namespace skyloam
