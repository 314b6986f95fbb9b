// RecordLineSource: a LineSource whose RINEX 3 observation records can come
// as the numbers they were decoded from (compact RINEX) instead of text.
//
// The text of such a record would be formatted from those numbers only to
// be parsed back into them; a body reader that knows this interface takes
// the numbers, with exactly the result reading the text would give.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "rinex/obs_reader/byte_source.hpp"

namespace skyloam {

// One observation of a record: present or not, in thousandths (the F14.3
// column's resolution).
struct ObservationSlot {
  bool present = false;
  std::int64_t value = 0;
};

// A record as numbers: the line it stands for is the three characters of
// `satellite`, then for each slot the F14.3 value (blank when absent) and its
// two flag characters, trailing blanks removed.
struct DecodedRecord {
  std::string_view satellite;             // three characters
  std::span<const ObservationSlot> values;
  std::string_view flags;                 // LLI and SSI of each slot, blank where absent
};

class RecordLineSource : public LineSource {
 public:
  // The next line as numbers when it is a decoded observation record (it is
  // then consumed); nothing when it is any other line, which next() yields.
  // Valid until the next call.
  virtual Result<std::optional<DecodedRecord>> next_record() = 0;
};

}  // namespace skyloam
