#include "rinex/compressed/satellite_tracker.hpp"

#include <algorithm>
#include <utility>

namespace skyloam {

std::uint32_t SatelliteTracker::key(std::string_view id) {
  return std::uint32_t{static_cast<unsigned char>(id[0])} << 16 |
         std::uint32_t{static_cast<unsigned char>(id[1])} << 8 |
         std::uint32_t{static_cast<unsigned char>(id[2])};
}

std::size_t SatelliteTracker::find_previous(std::uint32_t wanted, std::size_t hint) const {
  // Lists mostly keep their order, so the search starting at the hint
  // usually ends at once.
  const std::size_t n = previous_ids_.size();
  for (std::size_t step = 0; step < n; ++step) {
    const std::size_t j = (hint + step) % n;
    if (previous_ids_[j] == wanted) return j;
  }
  return n;
}

bool SatelliteTracker::repeats(std::size_t k) const {
  const auto begin = current_ids_.begin();
  return std::find(begin, begin + static_cast<std::ptrdiff_t>(k), current_ids_[k]) !=
         begin + static_cast<std::ptrdiff_t>(k);
}

std::size_t SatelliteTracker::begin_epoch(std::string_view ids, std::size_t count) {
  std::swap(previous_ids_, current_ids_);
  std::swap(previous_, current_);
  current_ids_.resize(count);
  if (current_.size() < count) current_.resize(count);

  std::size_t hint = 0;
  for (std::size_t k = 0; k < count; ++k) {
    current_ids_[k] = key(ids.substr(3 * k, 3));
    if (repeats(k)) return k;
    const std::size_t j = find_previous(current_ids_[k], hint);
    if (j == previous_ids_.size()) {
      current_[k].fresh = true;  // new in this epoch
      continue;
    }
    std::swap(current_[k], previous_[j]);
    hint = j + 1;
  }
  return count;
}

}  // namespace skyloam
