// compute_elevations with broadcast orbits on the ESBC day.
#pragma once

#include <string>

namespace skyloam::bench {

// Reads and analyses the ESBC observation day, fills elevations from its
// navigation file (estimates per second, best of 3), and compares them with
// the elevations from the same-day SP3 files (GRG for G, R, E; IAC for C,
// J): the share of estimates both compute that agree within 0.001 degree.
void report_elevations(const std::string& testdata);

}  // namespace skyloam::bench
