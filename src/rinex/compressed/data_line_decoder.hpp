// Decoding of one compact RINEX data line: the observables of one satellite
// in one epoch.
//
// The line holds one field per observation type, separated by single blanks
// (two blanks in a row enclose an empty field), then one blank and the
// difference of the satellite's LLI/SSI flag string. A line that ends early
// leaves the remaining fields empty and the flags unchanged. Each field
// updates its arc (see DifferenceArc); the flag string is the previous one
// changed by the difference, with the pair of every empty field blanked.
// Values are RINEX values times 1000 and must fit the F14.3 column.
// Malformed lines are RinexParse errors naming the line index, the
// satellite and the field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "error/gnss_error.hpp"
#include "rinex/compressed/satellite_tracker.hpp"
#include "rinex/obs_reader/record_line_source.hpp"

namespace skyloam {


struct DataLineContext {
  std::string_view satellite;  // the 3-character id, for messages
  std::size_t index;           // line index, for messages
};

// `state` must already fit the satellite's type count; `values` gets one
// slot per type.
Result<void> decode_data_line(std::string_view line, SatelliteState& state,
                              std::vector<ObservationSlot>& values, const DataLineContext& where);

}  // namespace skyloam
