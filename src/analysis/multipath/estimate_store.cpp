#include "analysis/multipath/estimate_store.hpp"

#include <algorithm>
#include <utility>

namespace skyloam {

void EstimateStoreBuilder::reserve(std::size_t rows) {
  EstimateStore& s = store_;
  s.time_.reserve(rows);
  s.time_ms_.reserve(rows);
  s.mp_.reserve(rows);
  s.elevation_.reserve(rows);
  s.azimuth_.reserve(rows);
  s.snr_.reserve(rows);
  s.satellite_.reserve(rows);
  s.signal_.reserve(rows);
  s.arc_.reserve(rows);
}

ArcRows EstimateStoreBuilder::append(const Satellite& satellite, const ObsCode& signal,
                                     std::int32_t arc, std::size_t count) {
  EstimateStore& s = store_;
  std::ranges::fill(s.elevation_.extend(count), kPlaceholderElevation);
  std::ranges::fill(s.azimuth_.extend(count), kPlaceholderAzimuth);
  std::ranges::fill(s.satellite_.extend(count), satellites_.number_of(satellite));
  std::ranges::fill(s.signal_.extend(count), signals_.number_of(signal));
  std::ranges::fill(s.arc_.extend(count), arc);
  return {s.time_.extend(count), s.time_ms_.extend(count), s.mp_.extend(count),
          s.snr_.extend(count)};
}

EstimateStore EstimateStoreBuilder::finish() && {
  store_.satellites_ = satellites_.finish(store_.satellite_.writable());
  store_.signals_ = signals_.finish(store_.signal_.writable());
  return std::move(store_);
}

}  // namespace skyloam
