// SignalSeries: the raw multipath combination of one SignalPair, sample by
// sample, gathered during the epoch scan.
//
// A sample exists where the satellite has the pair's pseudorange and both
// carrier phases as measurements (a value of 0.0 or a non-finite value is
// absent) and the combination is finite, however large. Samples are in
// epoch order; `snr` holds the pair's SNR value or NaN when there is none.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/multipath/entry_values.hpp"
#include "analysis/multipath/observation_catalog.hpp"
#include "analysis/multipath/signal_selection.hpp"

namespace skyloam {

struct SignalSeries {
  std::vector<std::uint32_t> epochs;  // analysed-epoch index of each sample
  std::vector<double> mp_raw;         // metres
  std::vector<double> snr;            // dB-Hz, NaN when absent
};

class SeriesCollector {
 public:
  SeriesCollector(const ObservationCatalog& catalog, const SignalSelection& selection);

  void observe(std::uint32_t epoch, std::uint32_t satellite, const EntryValues& values);

  std::vector<SignalSeries> take() && { return std::move(series_); }

 private:
  const SignalSelection& selection_;
  std::vector<SignalSeries> series_;
};

}  // namespace skyloam
