#include "analysis/multipath/signal_series.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/multipath/combinations.hpp"

namespace skyloam {

SeriesCollector::SeriesCollector(const ObservationCatalog& catalog,
                                 const SignalSelection& selection)
    : selection_(selection), series_(selection.pairs.size()) {
  // No sample can exist in more epochs than its rarest observation.
  for (std::size_t p = 0; p < selection.pairs.size(); ++p) {
    const SignalPair& pair = selection.pairs[p];
    const std::uint32_t s = selection.ids[p].satellite;
    const std::size_t bound =
        std::min({catalog.obs_count(s, pair.code), catalog.obs_count(s, pair.phase1),
                  catalog.obs_count(s, pair.phase2)});
    series_[p].epochs.reserve(bound);
    series_[p].mp_raw.reserve(bound);
    series_[p].snr.reserve(bound);
  }
}

void SeriesCollector::observe(std::uint32_t epoch, std::uint32_t satellite,
                              const EntryValues& values) {
  const std::uint32_t end = selection_.first_pair[satellite + 1];
  for (std::uint32_t p = selection_.first_pair[satellite]; p < end; ++p) {
    const PairCodeIds& ids = selection_.ids[p];
    const auto pseudorange = values.usable(ids.code);
    const auto phase1 = values.usable(ids.phase1);
    const auto phase2 = values.usable(ids.phase2);
    if (!pseudorange || !phase1 || !phase2) continue;
    const SignalPair& pair = selection_.pairs[p];
    const double mp = multipath_combination(*pseudorange, pair.wavelength1, *phase1,
                                            pair.wavelength2, *phase2, pair.gamma);
    // No bound on the size: receivers may start their phase count anywhere,
    // and the per-arc constant that follows goes with the bias removal.
    if (!std::isfinite(mp)) continue;
    SignalSeries& series = series_[p];
    series.epochs.push_back(epoch);
    series.mp_raw.push_back(mp);
    series.snr.push_back(ids.snr != kNoCodeId && values.has(ids.snr)
                             ? values.value(ids.snr)
                             : std::numeric_limits<double>::quiet_NaN());
  }
}

}  // namespace skyloam
