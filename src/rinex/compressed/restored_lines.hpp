// Writing the RINEX lines that compact RINEX stands for.
//
// RINEX 3/4: the epoch line is the epoch fields (columns 1-41) with the
// receiver clock offset as F15.12 in columns 42-56 when there is one; a
// satellite line is its id followed by one 16-column field per type.
// RINEX 2: the epoch line is columns 1-32 with the first 12 satellite ids
// and the clock offset as F12.9 in columns 69-80 when there is one; further
// ids go 12 at a time on lines of 32 blanks plus the ids; a satellite takes
// ceil(N/5) lines of 5 fields (a line of blanks comes out empty).
// A field is the value as F14.3 (14 blanks when there is none), then its
// LLI and SSI characters. Trailing blanks are removed from every line.
// Values and clocks must already be known to fit their columns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "rinex/compressed/compact_epoch.hpp"
#include "rinex/compressed/data_line_decoder.hpp"
#include "rinex/compressed/line_queue.hpp"

namespace skyloam {

// Clock offsets are whole nanoseconds in RINEX 2 and picoseconds in RINEX 3.
constexpr int kClockDecimalsV1 = 9;
constexpr int kClockWidthV1 = 12;
constexpr int kClockDecimalsV3 = 12;
constexpr int kClockWidthV3 = 15;

void write_rinex2_epoch(LineQueue& out, const CompactEpoch& epoch,
                        std::optional<std::int64_t> clock, std::size_t index);
void write_rinex3_epoch(LineQueue& out, const CompactEpoch& epoch,
                        std::optional<std::int64_t> clock, std::size_t index);

void write_rinex2_observations(LineQueue& out, const std::vector<ObservationSlot>& values,
                               std::string_view flags, std::size_t index);
void write_rinex3_observations(LineQueue& out, std::string_view satellite,
                               const std::vector<ObservationSlot>& values, std::string_view flags,
                               std::size_t index);

}  // namespace skyloam
