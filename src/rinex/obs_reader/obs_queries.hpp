// Queries over an observation data set: the satellites, the sampling
// interval, the codes observed per system, GLONASS channels.
//
// Each query is a single pass over the stored epochs; nothing is cached.
// Lists of satellites are in Satellite order (code letter, then number);
// lists of codes are sorted by their text in byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

// Every satellite with an entry in at least one epoch (an entry without
// observations counts), each once.
std::vector<Satellite> unique_satellites(const ObsData& data);

// |second epoch - first epoch| in seconds (seconds_between) with two or more
// epochs; otherwise the header's declared interval, possibly absent.
std::optional<double> effective_interval(const ObsData& data);

// The system a text's first character names (any case); GPS for an empty
// text or any other character.
GnssSystem system_of_text(std::string_view text);

// The codes observed for satellites of `system` in any epoch, as texts.
std::vector<std::string> observation_types(const ObsData& data, GnssSystem system);

struct SystemCount {
  GnssSystem system;
  std::size_t satellites;
};

// The number of unique satellites of each system that has any, in the
// order of the systems' code letters.
std::vector<SystemCount> satellites_by_system(const ObsData& data);

// The frequency channel of a GLONASS satellite from the header's slot list;
// nothing for other systems and unlisted slots.
std::optional<std::int8_t> glonass_channel(const RinexObsHeader& header,
                                           const Satellite& satellite);

}  // namespace skyloam
