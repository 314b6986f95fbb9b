#include "analysis/multipath/observation_catalog.hpp"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_map>

namespace skyloam {
namespace {

struct Tally {
  CodeId id;
  std::uint32_t epochs;
};

struct SatelliteTally {
  Satellite satellite;
  std::vector<Tally> codes;
};

std::uint64_t pair_key(std::uint32_t satellite, CodeId code) {
  return (static_cast<std::uint64_t>(satellite) << 16) | code;
}

// Counts (satellite, code) occurrences. A satellite's records usually come in
// the same order epoch after epoch, so each record is first looked for a few
// places after the previous match; only misses go through the hash map.
class CodeTallies {
 public:
  std::vector<SatelliteTally> satellites;

  void add_entry(const SatelliteEntry& entry) {
    const std::uint32_t index = index_of(entry.satellite);
    std::vector<Tally>& codes = satellites[index].codes;
    std::size_t cursor = 0;
    for (const ObsRecord& record : entry.observations()) {
      const std::size_t position = find(index, codes, cursor, record.code);
      ++codes[position].epochs;
      cursor = position + 1;
    }
  }

 private:
  static constexpr std::size_t kLookAhead = 8;
  SatelliteMap index_;
  std::unordered_map<std::uint64_t, std::uint32_t> code_position_;

  std::uint32_t index_of(const Satellite& satellite) {
    std::uint32_t& slot = index_.slot(satellite);
    if (slot == kNoSatellite) {
      slot = static_cast<std::uint32_t>(satellites.size());
      satellites.push_back({satellite, {}});
    }
    return slot;
  }

  std::size_t find(std::uint32_t satellite, std::vector<Tally>& codes, std::size_t cursor,
                   CodeId id) {
    const std::size_t stop = std::min(codes.size(), cursor + kLookAhead);
    for (std::size_t i = cursor; i < stop; ++i) {
      if (codes[i].id == id) return i;
    }
    const auto [it, inserted] = code_position_.try_emplace(
        pair_key(satellite, id), static_cast<std::uint32_t>(codes.size()));
    if (inserted) codes.push_back({id, 0});
    return it->second;
  }
};

}  // namespace

ObservationCatalog::ObservationCatalog(std::span<const ObsEpoch* const> epochs, const ObsData& data)
    : code_id_count_(data.codes().size()) {
  CodeTallies tallies;
  for (const ObsEpoch* epoch : epochs) {
    for (const SatelliteEntry& entry : epoch->satellites()) tallies.add_entry(entry);
  }
  std::vector<SatelliteTally>& found = tallies.satellites;
  std::sort(found.begin(), found.end(), [](const SatelliteTally& a, const SatelliteTally& b) {
    return sort_key(a.satellite) < sort_key(b.satellite);
  });

  code_begin_.push_back(0);
  for (const SatelliteTally& tally : found) {
    const auto index = static_cast<std::uint32_t>(satellites_.size());
    satellites_.push_back(tally.satellite);
    index_.slot(tally.satellite) = index;
    const std::size_t first = codes_.size();
    for (const Tally& t : tally.codes) codes_.push_back({data.code(t.id), t.id, t.epochs});
    std::sort(codes_.begin() + static_cast<std::ptrdiff_t>(first), codes_.end(),
              [](const CodeCount& a, const CodeCount& b) { return text_less(a.code, b.code); });
    code_begin_.push_back(static_cast<std::uint32_t>(codes_.size()));
    frequencies_.emplace_back(tally.satellite, data.header());
  }

  std::vector<std::string> texts;
  texts.reserve(satellites_.size());
  for (const Satellite& s : satellites_) texts.push_back(to_string(s));
  std::vector<std::uint32_t> by_text(satellites_.size());
  std::iota(by_text.begin(), by_text.end(), 0u);
  std::sort(by_text.begin(), by_text.end(),
            [&](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; });
  text_rank_.resize(satellites_.size());
  for (std::uint32_t rank = 0; rank < by_text.size(); ++rank) text_rank_[by_text[rank]] = rank;
}

std::uint32_t& SatelliteMap::slot(const Satellite& satellite) {
  if (satellite.prn < kFlatNumbers) {
    return flat_[static_cast<std::size_t>(satellite.system) * kFlatNumbers + satellite.prn];
  }
  return large_numbers_.try_emplace(sort_key(satellite), kNoSatellite).first->second;
}

std::uint32_t SatelliteMap::find(const Satellite& satellite) const {
  if (satellite.prn < kFlatNumbers) {
    const std::size_t slot =
        static_cast<std::size_t>(satellite.system) * kFlatNumbers + satellite.prn;
    return slot < flat_.size() ? flat_[slot] : kNoSatellite;
  }
  const auto it = large_numbers_.find(sort_key(satellite));
  return it == large_numbers_.end() ? kNoSatellite : it->second;
}

std::uint32_t ObservationCatalog::obs_count(std::uint32_t index, const ObsCode& code) const {
  for (const CodeCount& c : codes(index)) {
    if (c.code == code) return c.epochs;
  }
  return 0;
}

}  // namespace skyloam
