// The header side of compact RINEX (CRINEX): the first line that marks a
// file as compact, its format version, and the observation-type counts the
// decoder needs from the RINEX header (and from event records that change it).
//
// Version 1.0 carries RINEX 2 files (one type list, "# / TYPES OF OBSERV",
// count in columns 1-6); version 3.0 carries RINEX 3 and 4 files (one list per
// system, "SYS / # / OBS TYPES", letter in column 1, count in columns 4-6).
// Lines whose count field is blank continue the list before them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "error/gnss_error.hpp"

namespace skyloam {

enum class CrinexVersion : std::uint8_t { V1, V3 };

// True when the label from byte 60 on starts with "CRINEX VERS" (the label
// is "CRINEX VERS   / TYPE").
bool is_crinex_first_line(std::string_view line);

// The label of a RINEX header line (bytes 60 on, trimmed); empty if none.
std::string_view header_label(std::string_view line);

// Reads the version from the first line (columns 1-20): 1.0 or 3.0.
Result<CrinexVersion> parse_crinex_version(std::string_view first_line, std::size_t index);

// Checks the "RINEX VERSION / TYPE" line against the compact format version.
Result<void> check_rinex_version(CrinexVersion version, std::string_view line, std::size_t index);

class ObservationTypeCounts {
 public:
  static constexpr int kMaxTypes = 999;

  explicit ObservationTypeCounts(CrinexVersion version) : version_(version) { counts_.fill(-1); }

  // Starts a new group of header lines (the header, or one event's records):
  // a system listed again in it replaces what it had before.
  void begin_group() { listed_in_group_.fill(false); }

  // Takes the count from a type-list line; other lines are ignored.
  Result<void> take_line(std::string_view line, std::size_t index);

  // The number of types of a satellite whose id starts with `system` (RINEX 2
  // has one list for all); -1 when the header gave none.
  int count_for(char system) const {
    if (version_ == CrinexVersion::V1) return counts_[0];
    return counts_[static_cast<unsigned char>(system) & 0x7F];
  }

 private:
  void record(char system, int count);

  CrinexVersion version_;
  std::array<int, 128> counts_{};
  std::array<bool, 128> listed_in_group_{};
};

}  // namespace skyloam
