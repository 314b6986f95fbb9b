// The line grammar of SP3 files (versions a to d), one line at a time.
//
// Column positions are zero-based byte offsets; a field [a..b) is trimmed
// before parsing and clipped to the line, so short lines and lines cut inside
// a multi-byte character never read past their end (the field just fails to
// parse). Only what the orbit data set needs is read: the declared epoch
// count, the declared interval, epoch lines and position records.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "rinex/types/satellite.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

enum class Sp3LineKind : std::uint8_t {
  Header,      // "#a".."#d", at least 60 bytes: carries the epoch count
  TimeHeader,  // "##", at least 60 bytes: carries the interval
  Epoch,       // "*"
  Position,    // "P", at least 60 bytes
  Other,       // everything else, skipped
};

Sp3LineKind classify_sp3_line(std::string_view line);

// Field [32..39) of a Header line as an unsigned count; 0 when it does not
// parse.
std::uint64_t declared_epoch_count(std::string_view header_line);

// Field [24..38) of a TimeHeader line in seconds; 900.0 when it does not
// parse.
double declared_interval(std::string_view time_header_line);

// The first six blank-separated fields of bytes [3..31): year, month, day,
// hour, minute, second, taken as written. Nothing when fewer than six fields
// exist or one does not parse.
std::optional<Epoch> parse_epoch_line(std::string_view line);

struct PositionLine {
  Satellite satellite;
  double x = 0.0;  // metres
  double y = 0.0;
  double z = 0.0;
  double clock = 0.0;  // microseconds
};

// A Position line, or nothing when the record cannot be used: the satellite
// field [1..4) names no satellite (a blank system letter before a number is
// GPS, as in SP3-a); a coordinate [4..18), [18..32), [32..46) (km) does not
// parse to a number that stays finite in metres; all three coordinates are
// zero (the format's missing-position marker); or the clock [46..60) does not
// parse to a finite number of at most 900000 in magnitude (999999.999999
// marks a bad clock).
std::optional<PositionLine> parse_position_line(std::string_view line);

}  // namespace skyloam
