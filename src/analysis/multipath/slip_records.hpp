// Cycle-slip records and the index the arc splitter consults.
//
// A SlipRecord names the codes it concerns: the carrier phase for a
// loss-of-lock flag ("lli"); the phase and its second-band partner for the
// geometry-free test ("gf"); the phase, then the pseudorange, for the
// code-minus-phase test ("code_phase"). Magnitude and threshold are metres
// (1.0 and 0.0 for "lli").
//
// SlipIndex holds, per (satellite, carrier phase), the sorted millisecond
// times of every record naming that phase. Pseudorange codes are not
// entered.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "rinex/types/obs_code.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/time/calendar.hpp"

namespace skyloam {

enum class SlipMethod : std::uint8_t { Gf, CodePhase, Lli };

// "gf", "code_phase", "lli".
std::string_view method_text(SlipMethod method);

struct SlipRecord {
  CalendarTime time;  // of the epoch at which the slip was detected
  double magnitude;
  double threshold;
  Satellite satellite;
  std::array<ObsCode, 2> code_list;
  std::uint8_t code_count;
  SlipMethod method;

  std::span<const ObsCode> codes() const { return {code_list.data(), code_count}; }
};

class SlipIndex {
 public:
  SlipIndex() = default;
  explicit SlipIndex(std::span<const SlipRecord> records);

  // Ascending, without repeats; empty when the phase never slipped.
  std::span<const std::int64_t> times(const Satellite& satellite, const ObsCode& phase) const;
  bool empty() const { return times_.empty(); }

 private:
  struct Key {
    std::uint64_t satellite;
    std::uint32_t code;
    friend auto operator<=>(const Key&, const Key&) = default;
  };
  std::vector<Key> keys_;  // parallel to times_, sorted
  std::vector<std::int64_t> times_;
};

}  // namespace skyloam
