// The multipath results as columns: one array per field, equal lengths, in
// the order of the records they come from, for array libraries that take
// whole columns at memory speed instead of one object per record.
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

#include "analysis/multipath/multipath_estimate.hpp"
#include "analysis/multipath/slip_records.hpp"
#include "utils/memory/column.hpp"

namespace skyloam {

struct EstimateColumns {
  Column<double> time;  // Unix seconds
  Column<double> mp;    // metres
  Column<double> elevation;
  Column<double> azimuth;
  Column<double> snr;  // dB-Hz, NaN where absent
  Column<std::int32_t> satellite;
  Column<std::int32_t> signal;
  Column<std::int32_t> arc;  // MpEstimate::arc
  Column<std::int64_t> time_ms;
  std::vector<std::string> satellites;  // "G05"
  std::vector<std::string> signals;     // pseudorange codes, "C1C"
};

EstimateColumns estimate_columns(std::span<const MpEstimate> estimates);

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
