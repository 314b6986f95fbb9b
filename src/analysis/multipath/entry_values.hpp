// EntryValues: the observations of one satellite entry, addressable by code id.
//
// The analysis scans load each satellite entry once and then read values by
// code id in constant time. Loading costs one store per record; nothing is
// cleared between entries because every slot carries the stamp of the entry
// that wrote it.
//
// A pseudorange or carrier phase of exactly 0.0 is how RINEX writers fill a
// missing observation, and a non-finite value is no measurement either:
// `usable` treats both as absent. `has` and `lli` see every record as read.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

class EntryValues {
 public:
  explicit EntryValues(std::size_t code_id_count)
      : value_(code_id_count), lli_(code_id_count), stamp_(code_id_count, 0) {}

  void load(std::span<const ObsRecord> records) {
    if (++stamp_now_ == 0) {  // wrapped: forget every old stamp
      std::fill(stamp_.begin(), stamp_.end(), 0);
      stamp_now_ = 1;
    }
    for (const ObsRecord& r : records) {
      value_[r.code] = r.value;
      lli_[r.code] = r.lli;
      stamp_[r.code] = stamp_now_;
    }
  }

  bool has(CodeId id) const { return stamp_[id] == stamp_now_; }
  double value(CodeId id) const { return value_[id]; }
  // The loss-of-lock indicator, kNoIndicator when absent.
  std::uint8_t lli(CodeId id) const { return lli_[id]; }

  // The value of a present observation that is a measurement (finite, not 0.0).
  std::optional<double> usable(CodeId id) const {
    if (!has(id)) return std::nullopt;
    const double v = value_[id];
    if (v == 0.0 || !std::isfinite(v)) return std::nullopt;
    return v;
  }

 private:
  std::vector<double> value_;
  std::vector<std::uint8_t> lli_;
  std::vector<std::uint32_t> stamp_;
  std::uint32_t stamp_now_ = 0;
};

}  // namespace skyloam
