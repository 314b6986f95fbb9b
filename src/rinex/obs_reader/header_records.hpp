// Decoders of single RINEX observation header records.
//
// Each takes the record's line (trailing carriage returns removed, at least
// 60 bytes) and updates the header the way its label asks. Fields that do
// not parse leave the header as it was; nothing here fails.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "rinex/obs_reader/obs_header.hpp"

namespace skyloam {

// "3.04" -> V3 minor 4; "3.5" -> V3 minor 5; nothing for "3", "1.00", "5.00".
std::optional<RinexVersion> parse_rinex_version(std::string_view text);

// The first three numbers of [0..60), pieces that do not parse skipped.
std::optional<std::array<double, 3>> parse_number_triple(std::string_view line);

// Year, month, day, hour, minute, second from the pieces of [0..43).
std::optional<Epoch> parse_header_time(std::string_view line);

// "SYS / # / OBS TYPES". `continued` is the system of the latest line that
// named one; a line with a blank system column adds to it.
void add_rinex3_obs_types(std::string_view line, RinexObsHeader& header,
                          std::optional<GnssSystem>& continued);

// "# / TYPES OF OBSERV".
void add_rinex2_obs_types(std::string_view line, RinexObsHeader& header);

// "GLONASS SLOT / FRQ #".
void add_glonass_slots(std::string_view line, RinexObsHeader& header);

// "GLONASS COD/PHS/BIS".
void add_glonass_biases(std::string_view line, RinexObsHeader& header);

}  // namespace skyloam
