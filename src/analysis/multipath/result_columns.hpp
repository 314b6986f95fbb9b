// The cycle slips as columns: one array per field, equal lengths, in the
// order of the records they come from, for array libraries that take whole
// columns at memory speed instead of one object per record. (The estimates
// are kept as columns from the start: EstimateStore.)
//
// Times come twice: as Unix seconds (float, the time axis of every series)
// and as Unix milliseconds (integer, floor), which name the record's epoch
// exactly where a float cannot. Texts come as int32 indices into a list of
// the distinct texts: satellites in satellite order, codes in text order.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analysis/multipath/slip_records.hpp"
#include "utils/memory/column.hpp"

namespace skyloam {

struct SlipColumns {
  Column<double> time;  // Unix seconds of the detecting epoch
  Column<double> magnitude;
  Column<double> threshold;
  Column<std::int32_t> satellite;
  Column<std::int32_t> signal;  // the first code a record names ("" if none)
  Column<std::int32_t> method;  // into `methods`
  Column<std::int64_t> time_ms;
  std::vector<std::string> satellites;
  std::vector<std::string> signals;
  std::vector<std::string> methods;  // every method, in SlipMethod order
};

SlipColumns slip_columns(std::span<const SlipRecord> records);

}  // namespace skyloam
