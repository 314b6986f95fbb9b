// How long a broadcast ephemeris serves around its reference time, per
// system. The spans keep the orbit error at the metre level (measured
// against precise orbits of the same day with the benchmark under
// bench/navigation):
//
// - GPS: the fit interval of the record (0 or blank: 4 h), centred on toe;
//   errors grow from about 1.3 m within 2 h of toe to 18 m at 3.5-4 h.
// - QZSS: the fit-interval flag, 0 (or blank): 2 h, 1: 4 h, centred on toe.
// - Galileo: fitted forward from toe: from 1 h before to 4 h after; about
//   0.9 m from -0.5 h to +3 h, 3 m at -1 h, 14 m at -2 h.
// - BeiDou: 1 h either side of toe (a new ephemeris every hour).
// - NavIC: 2 h either side of toe.
// - GLONASS: 15 minutes either side of tb (a new state every 30 minutes).
// - SBAS: 5 minutes either side of t0 (a new state every 2 minutes).
//
// Of the ephemerides serving a time, the one with the nearest reference
// time is used.
#pragma once

#include "rinex/types/gnss_system.hpp"

namespace skyloam {

struct ValiditySpan {
  double before = 0.0;  // seconds before the reference time
  double after = 0.0;   // seconds after it
};

// `fit`: the record's fit-interval field (GPS: hours, QZSS: a flag; NaN
// when blank); unused by other systems.
ValiditySpan validity_span(GnssSystem system, double fit);

}  // namespace skyloam
