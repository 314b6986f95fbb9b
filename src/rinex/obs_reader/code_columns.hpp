// CodeColumns: the observation code of each value column of a record.
//
// A code is interned into the builder when its column first yields a value,
// so the data set's code table lists only codes that some record uses.
// Columns whose type has no code are not stored at all.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "rinex/obs_reader/obs_data.hpp"

namespace skyloam {

class CodeColumns {
 public:
  void add(std::optional<ObsCode> code) {
    codes_.push_back(code.value_or(ObsCode{}));
    ids_.push_back(code ? kNotInterned : kNotStored);
  }

  std::size_t size() const { return codes_.size(); }
  bool stored(std::size_t column) const { return ids_[column] != kNotStored; }

  // The id of a stored column's code.
  CodeId id(std::size_t column, ObsDataBuilder& builder) {
    std::int32_t& id = ids_[column];
    if (id == kNotInterned) id = builder.intern(codes_[column]);
    return static_cast<CodeId>(id);
  }

 private:
  static constexpr std::int32_t kNotInterned = -1;
  static constexpr std::int32_t kNotStored = -2;
  std::vector<ObsCode> codes_;
  std::vector<std::int32_t> ids_;
};

}  // namespace skyloam
