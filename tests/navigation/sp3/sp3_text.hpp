// Builders of SP3 lines in their fixed columns, for tests that write small
// orbit files.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace skyloam::testing {

// "#cP" header whose epoch-count field [32..39) holds `count` right-aligned.
inline std::string sp3_header_line(std::string_view count = "96") {
  char line[128];
  std::snprintf(line, sizeof line, "#cP2020  6 25  0  0  0.00000000 %7.*s ORBIT IGS14 HLM  IGS",
                static_cast<int>(count.size()), count.data());
  return line;
}

// "##" line whose interval field [24..38) holds `interval`.
inline std::string sp3_time_line(std::string_view interval = "900.00000000") {
  char line[128];
  std::snprintf(line, sizeof line, "## 2111 345600.00000000 %14.*s 59025 0.0000000000000",
                static_cast<int>(interval.size()), interval.data());
  return line;
}

inline std::string sp3_epoch_line(int hour, int minute, double second = 0.0) {
  char line[64];
  std::snprintf(line, sizeof line, "*  2020  6 25 %2d %2d %11.8f", hour, minute, second);
  return line;
}

// "P" record: satellite field of three bytes, km and microseconds.
inline std::string sp3_position_line(std::string_view satellite, double x, double y, double z,
                                     double clock) {
  char line[128];
  std::snprintf(line, sizeof line, "P%3.3s%14.6f%14.6f%14.6f%14.6f", std::string(satellite).c_str(),
                x, y, z, clock);
  return line;
}

}  // namespace skyloam::testing
