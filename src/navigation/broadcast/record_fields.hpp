// The contents of one navigation record: its satellite, clock epoch and
// numbers, laid out alike in every version.
//
// Version 2: "I2,1X,I2.2,5(1X,I2),F5.1,3D19.12" then "3X,4D19.12" lines, the
// system given by the file; versions 3 and 4: "A1,I2.2,1X,I4,5(1X,I2.2),
// 3D19.12" then "4X,4D19.12" lines (a blank system letter takes the file's
// system). Two-digit years are 1980-2079. Numbers are indexed in reading
// order: the three of the first line, then four per line; a number that is
// blank, unreadable or left off is NaN (see parse_nav_number).
#pragma once

#include <cstddef>
#include <optional>

#include "navigation/broadcast/nav_header.hpp"
#include "navigation/broadcast/record_splitter.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

// The numbers of a record, each read when asked for (most records are
// judged on a few of them). Valid while the record's text is.
class RecordNumbers {
 public:
  RecordNumbers(const RecordText& text, std::size_t first_column, std::size_t continued_column)
      : text_(&text), first_column_(first_column), continued_column_(continued_column) {}

  // The number at `index` in reading order; NaN when it is blank,
  // unreadable or beyond the record's lines.
  double operator[](std::size_t index) const;

 private:
  const RecordText* text_;
  std::size_t first_column_;
  std::size_t continued_column_;
};

struct RecordFields {
  Satellite satellite;
  Epoch epoch;  // as written, in the system's own time scale
  RecordNumbers numbers;
};

// Valid while `text` is. Nothing when the record names no satellite, its
// epoch does not parse, or it is of a message type without an orbit model
// here: models exist for the one message type of each system before version
// 4, and in version 4 for GPS, QZSS and NavIC LNAV, Galileo INAV and FNAV,
// BeiDou D1 and D2, GLONASS FDMA and SBAS, not for CNAV, CNV1-3 and the like.
std::optional<RecordFields> read_record_fields(const RecordText& text, const NavHeader& header);

}  // namespace skyloam
