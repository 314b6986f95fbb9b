// How long a broadcast ephemeris serves around its reference time, per
// system. The spans keep the orbit error at the metre level; the RMS against
// precise orbits of the same day by age of the ephemeris (ESBC 2020-06-25,
// nav_bench with NAV_BENCH_BY_AGE=1) set them:
//
// - GPS: the record's fit interval (0, blank or below 4: 4 h), centred on
//   toe: 1.4 m within 2 h of toe, 5 m at 2.5 h, 12 m at 3 h.
// - QZSS: the fit-interval flag, 0 (or blank): 2 h, 1: 4 h, centred on toe
//   (2.0-2.3 m within 1.5 h).
// - Galileo: fitted forward from toe, so from 1 h before to 4 h after: 0.9 m
//   from -0.5 h to +3 h, 1.6 m at -1 h, 2.5 m at +3.5 h, 8 m at -2 h.
// - BeiDou: 1 h either side of toe, a new ephemeris every hour (1.9 m
//   within 2 h for MEO and IGSO).
// - NavIC: 2 h either side of toe.
// - GLONASS: 15 minutes either side of tb, a new state every 30 minutes
//   (3.4-3.7 m within 30 minutes, 5.5 m at -1 h, 8 m at +0.5 h).
// - SBAS: 5 minutes either side of t0, a new state every 2 minutes.
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
