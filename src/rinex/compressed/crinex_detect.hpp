// Recognising compact RINEX (CRINEX) by its first line and putting the
// decoder on top of a LineSource that carries it.
#pragma once

#include <memory>

#include "error/gnss_error.hpp"
#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// Reads the first line of `lines`. When it carries "CRINEX VERS   / TYPE"
// at byte 60, gives a CrinexLineSource over `lines` (an unknown CRINEX
// version is a RinexParse error); otherwise gives a source that yields that
// first line again and then the rest of `lines` unchanged. Errors of
// `lines` pass through.
Result<std::unique_ptr<LineSource>> decode_if_crinex(std::unique_ptr<LineSource> lines);

}  // namespace skyloam
