// Small RINEX texts for the reader tests, parsed in memory.
#pragma once

#include <string>
#include <string_view>

#include "rinex/obs_reader/obs_file.hpp"

namespace skyloam::testing {

// `content` padded (or cut) to 60 columns, then the label.
inline std::string header_line(std::string_view content, std::string_view label) {
  std::string line(content.substr(0, 60));
  line.resize(60, ' ');
  line.append(label);
  line.push_back('\n');
  return line;
}

inline std::string version_line(std::string_view version) {
  std::string content(9 - std::min<std::size_t>(9, version.size()), ' ');
  content.append(version);
  content.resize(20, ' ');
  content.append("OBSERVATION DATA    M");
  return header_line(content, "RINEX VERSION / TYPE");
}

inline std::string end_of_header() { return header_line("", "END OF HEADER"); }

// A 16-byte observation field: the value right-aligned in 14 bytes, then
// the two indicator characters.
inline std::string field(std::string_view value, char lli = ' ', char ssi = ' ') {
  std::string out(14 - std::min<std::size_t>(14, value.size()), ' ');
  out.append(value);
  out.push_back(lli);
  out.push_back(ssi);
  return out;
}

inline Result<ObsData> read_text(std::string_view text, std::string_view name = "test.rnx") {
  return read_obs_bytes(std::span<const char>(text.data(), text.size()), name);
}

}  // namespace skyloam::testing
