// Navigation files made up for tests: headers and records written in the
// column layouts of RINEX 2, 3 and 4, with made-up but realistic orbits.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rinex/obs_reader/rinex_text.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam::testing {

// Numbers of a record in reading order; nothing writes a blank field.
using RecordNumbers = std::vector<std::optional<double>>;

enum class NumberStyle { E, D, BareD };  // 1.5E+00, 1.5D+00, .15D+01

// "RINEX VERSION / TYPE" with `version` in columns 0-8, the type letter in
// column 20 and the system letter in column 40; further labelled lines (see
// header_line) may follow, then "END OF HEADER".
std::string nav_header(const std::string& version, char type, char system,
                       const std::vector<std::string>& lines = {});

// Versions 3 and 4: "G01 2020 06 25 00 00 00" and 4X continuation lines.
std::string record_v3(const std::string& satellite, const Epoch& epoch,
                      const RecordNumbers& numbers, NumberStyle style = NumberStyle::E);
// Version 2: " 1 20  6 25  0  0  0.0" and 3X continuation lines.
std::string record_v2(int prn, const Epoch& epoch, const RecordNumbers& numbers,
                      NumberStyle style = NumberStyle::BareD);

// A healthy GPS-like Keplerian record with toe at `toe` seconds of the week
// (31 numbers; health at 24, fit interval at 28).
RecordNumbers keplerian_numbers(double toe, double health = 0.0, double fit = 4.0);
// A healthy GLONASS state (19 numbers, the fifth line of version 3.05 included).
RecordNumbers glonass_numbers(double health = 0.0);
// A usable SBAS GEO state (15 numbers).
RecordNumbers sbas_numbers(double health = 0.0, double ura = 2.0);

}  // namespace skyloam::testing
