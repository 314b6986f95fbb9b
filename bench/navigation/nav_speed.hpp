// Reading and position speed of broadcast orbits.
#pragma once

#include <string>

namespace skyloam::bench {

// Reading time of every navigation file (best of several runs), and of the
// merged daily file from memory, plain and gzip.
void report_reading(const std::string& testdata);

// NavData positions per second on one core for the Keplerian systems and
// for GLONASS, at times their ephemerides cover on the ESBC day.
void report_positions_per_second(const std::string& testdata);

}  // namespace skyloam::bench
