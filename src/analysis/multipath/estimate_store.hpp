// EstimateStore: the multipath estimates of one analysis as columns, one
// array per field, in the order results are published in, with the sorted
// lists the index columns point into. Sixty bytes per estimate.
//
// EstimateStoreBuilder fills it during the analysis, an arc at a time, and
// numbers satellites and signals once when it finishes. Afterwards the
// elevation fill-in is the one writer (writable_angles); a column that a
// reader shares (Column::share) is copied before it is written, so what a
// reader holds never changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/multipath/distinct_values.hpp"
#include "analysis/multipath/multipath_estimate.hpp"
#include "utils/memory/column.hpp"

namespace skyloam {

class EstimateStore {
 public:
  std::size_t size() const { return mp_.size(); }
  bool empty() const { return size() == 0; }

  // Unix seconds of the epoch (the time axis of every series).
  const Column<double>& time() const { return time_; }
  // Unix milliseconds of the epoch (floor), which name it exactly.
  const Column<std::int64_t>& time_ms() const { return time_ms_; }
  const Column<double>& mp() const { return mp_; }
  const Column<double>& elevation() const { return elevation_; }
  const Column<double>& azimuth() const { return azimuth_; }
  // dB-Hz, NaN where absent.
  const Column<double>& snr() const { return snr_; }
  // Indices into satellites() and signals().
  const Column<std::int32_t>& satellite() const { return satellite_; }
  const Column<std::int32_t>& signal() const { return signal_; }
  // Number of the arc within its satellite's signal: 0, 1, ... in time order.
  const Column<std::int32_t>& arc() const { return arc_; }
  // In satellite order.
  const std::vector<Satellite>& satellites() const { return satellites_; }
  // Pseudorange codes in text order.
  const std::vector<ObsCode>& signals() const { return signals_; }

  MpEstimate row(std::size_t i) const {
    return {time_ms_[i], mp_[i],          elevation_[i], azimuth_[i], snr_[i],
            satellites_[static_cast<std::size_t>(satellite_[i])],
            signals_[static_cast<std::size_t>(signal_[i])]};
  }

  struct Angles {
    std::span<double> elevation;
    std::span<double> azimuth;
  };
  Angles writable_angles() { return {elevation_.writable(), azimuth_.writable()}; }

 private:
  friend class EstimateStoreBuilder;

  Column<double> time_;
  Column<std::int64_t> time_ms_;
  Column<double> mp_;
  Column<double> elevation_;
  Column<double> azimuth_;
  Column<double> snr_;
  Column<std::int32_t> satellite_;
  Column<std::int32_t> signal_;
  Column<std::int32_t> arc_;
  std::vector<Satellite> satellites_;
  std::vector<ObsCode> signals_;
};

// The rows of one arc just appended, for the caller to write.
struct ArcRows {
  std::span<double> time;
  std::span<std::int64_t> time_ms;
  std::span<double> mp;
  std::span<double> snr;
};

class EstimateStoreBuilder {
 public:
  // Room for `rows` estimates; what is never written costs no memory.
  void reserve(std::size_t rows);
  std::size_t size() const { return store_.size(); }

  // `count` rows of arc `arc` of the satellite's signal, at the placeholder
  // elevation and azimuth; their times, values and SNR are the caller's to
  // write.
  ArcRows append(const Satellite& satellite, const ObsCode& signal, std::int32_t arc,
                 std::size_t count);

  EstimateStore finish() &&;

 private:
  EstimateStore store_;
  DistinctValues<Satellite, sort_key> satellites_;
  DistinctValues<ObsCode, text_key> signals_;
};

}  // namespace skyloam
