#include "navigation/elevation_batch.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>


namespace skyloam {
namespace {

std::uint64_t scramble(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

std::uint64_t hash_of(const Epoch& e) {
  // +0.0 folds -0.0 into 0.0, which compare equal.
  std::uint64_t h = scramble(std::bit_cast<std::uint64_t>(e.second + 0.0));
  h = scramble(h ^ ((std::uint64_t{static_cast<std::uint32_t>(e.year)} << 32) | e.month));
  h = scramble(h ^ ((std::uint64_t{e.day} << 32) | e.hour));
  return scramble(h ^ e.minute);
}

bool same_epoch(const Epoch& x, const Epoch& y) {
  return x.year == y.year && x.month == y.month && x.day == y.day && x.hour == y.hour &&
         x.minute == y.minute && x.second == y.second;
}

// Open-addressing set of the query indices of one satellite, one per distinct
// epoch. One table per satellite keeps the working set small: queries come
// satellite by satellite, and a repeated pair finds its first occurrence
// among neighbouring entries of an earlier pass.
class FirstOccurrences {
 public:
  // The index of the earlier query with the same epoch as query `index`, or
  // `index` itself (now remembered) when it is the first.
  std::uint32_t first_of(std::span<const SatelliteEpoch> queries, std::uint32_t index) {
    if (2 * (count_ + 1) > slots_.size()) grow(queries);
    const Epoch& epoch = queries[index].epoch;
    for (std::size_t slot = home(epoch);; slot = (slot + 1) & (slots_.size() - 1)) {
      if (slots_[slot] == kEmpty) {
        slots_[slot] = index;
        ++count_;
        return index;
      }
      if (same_epoch(queries[slots_[slot]].epoch, epoch)) return slots_[slot];
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = std::numeric_limits<std::uint32_t>::max();

  std::size_t home(const Epoch& epoch) const {
    return static_cast<std::size_t>(hash_of(epoch)) & (slots_.size() - 1);
  }

  void grow(std::span<const SatelliteEpoch> queries) {
    std::vector<std::uint32_t> old(std::max<std::size_t>(64, slots_.size() * 2), kEmpty);
    old.swap(slots_);
    for (const std::uint32_t index : old) {
      if (index == kEmpty) continue;
      std::size_t slot = home(queries[index].epoch);
      while (slots_[slot] != kEmpty) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = index;
    }
  }

  std::vector<std::uint32_t> slots_;
  std::size_t count_ = 0;
};

// Consecutive queries mostly share their satellite: remember the last lookup.
class SlotLookup {
 public:
  explicit SlotLookup(const OrbitSource& orbits) : orbits_(orbits) {}
  std::optional<std::size_t> operator()(const Satellite& satellite) {
    if (!known_ || satellite != satellite_) {
      satellite_ = satellite;
      slot_ = orbits_.slot_of(satellite);
      known_ = true;
    }
    return slot_;
  }

 private:
  const OrbitSource& orbits_;
  Satellite satellite_;
  std::optional<std::size_t> slot_;
  bool known_ = false;
};

}  // namespace

std::vector<std::optional<AzEl>> azimuth_elevations(const OrbitSource& orbits, const Ecef& receiver,
                                                    std::span<const SatelliteEpoch> queries) {
  std::vector<std::optional<AzEl>> answers(queries.size());
  SlotLookup slot_of(orbits);
  // Indices are kept in 32 bits; a larger batch (beyond any real result set)
  // is answered without reuse.
  const bool reuse = queries.size() < std::numeric_limits<std::uint32_t>::max();
  std::vector<FirstOccurrences> seen(reuse ? orbits.satellites().size() : 0);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const SatelliteEpoch& query = queries[i];
    const std::optional<std::size_t> slot = slot_of(query.satellite);
    if (!slot || !std::isfinite(query.epoch.second)) continue;
    if (reuse) {
      const std::uint32_t first = seen[*slot].first_of(queries, static_cast<std::uint32_t>(i));
      if (first != i) {
        answers[i] = answers[first];
        continue;
      }
    }
    const std::optional<Ecef> position = orbits.position(*slot, query.epoch);
    if (position) answers[i] = azimuth_elevation(receiver, *position);
  }
  return answers;
}

}  // namespace skyloam
