// A plain model of RINEX observation text for the test-only CRINEX writer:
// the header's type counts and the body's epochs, parsed by the column rules
// of RINEX 2 and RINEX 3/4. Numbers are kept as scaled integers (values in
// thousandths, clocks in units of the last decimal of their RINEX column).
// Text it cannot represent exactly throws std::runtime_error.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyloam::testing {

struct RinexField {
  bool present = false;
  std::int64_t value = 0;  // thousandths
  char lli = ' ';
  char ssi = ' ';
};

struct RinexEpoch {
  std::string line;    // the first epoch line as written
  std::string fields;  // the epoch fields without ids or clock (RINEX 2: 32 columns, 3: 41)
  char flag = '0';
  std::vector<std::string> ids;
  std::optional<std::int64_t> clock;
  std::vector<std::vector<RinexField>> observations;  // per satellite, per type
  std::vector<std::string> records;                   // the special records of an event

  bool is_event() const { return flag >= '2' && flag <= '5'; }
};

struct RinexModel {
  bool rinex2 = false;
  std::vector<std::string> header;  // up to and including END OF HEADER
  int types_v2 = 0;
  std::map<char, int> types_v3;
  std::vector<RinexEpoch> epochs;

  int types_for(std::string_view id) const;
};

RinexModel parse_rinex(std::string_view text);

// Lines of a text, without line ends.
std::vector<std::string> split_lines(std::string_view text);

}  // namespace skyloam::testing
