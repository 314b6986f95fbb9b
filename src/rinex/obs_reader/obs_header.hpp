// RinexObsHeader: what is kept of a RINEX observation header.
//
// Text fields are stored trimmed; optional fields stay absent until a line
// sets them. The version's generation selects the body grammar: V2 the
// RINEX 2 grammar, V3 and V4 the RINEX 3 grammar.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rinex/types/gnss_system.hpp"
#include "rinex/types/obs_code.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

enum class RinexGeneration : std::uint8_t { V2 = 2, V3 = 3, V4 = 4 };

struct RinexVersion {
  RinexGeneration major = RinexGeneration::V3;
  std::uint8_t minor = 5;
};

// "3.05", "2.11", "4.00".
std::string to_string(const RinexVersion& version);

struct RinexObsHeader {
  std::string program, run_by, date;
  std::string marker_name;
  std::string marker_number;
  std::string observer, agency;
  std::string receiver_number, receiver_type, receiver_version;
  std::string antenna_number, antenna_type;
  std::optional<std::array<double, 3>> approx_position;  // x, y, z metres
  std::optional<std::array<double, 3>> antenna_delta;    // height, east, north metres
  std::optional<Epoch> time_of_first_obs;
  std::optional<Epoch> time_of_last_obs;
  std::optional<double> declared_interval;
  std::vector<std::string> obs_types_v2;
  std::string time_system;
  std::vector<std::string> comments;
  std::optional<std::string> marker_type;
  std::optional<std::int32_t> leap_seconds;
  std::optional<std::uint32_t> declared_satellites;
  std::map<GnssSystem, std::vector<ObsCode>> obs_types;
  std::map<std::uint32_t, std::int8_t> glonass_slots;
  std::optional<std::map<std::string, double>> glonass_cod_phs_bis;
  char file_type = 'O';
  RinexVersion version;
  std::optional<GnssSystem> satellite_system;
};

}  // namespace skyloam
