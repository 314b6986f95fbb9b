#include "rinex/obs_reader/obs_queries.hpp"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <unordered_set>

#include "utils/time/epoch.hpp"

namespace skyloam {
namespace {

// Membership of satellites: a bit per number below 256 for each system,
// a hash set for the rare larger numbers.
class SatelliteSet {
 public:
  void insert(const Satellite& satellite) {
    if (satellite.prn < kDirect) {
      direct_[static_cast<std::size_t>(satellite.system)].set(satellite.prn);
    } else {
      large_.insert(satellite);
    }
  }

  std::vector<Satellite> sorted() const {
    std::vector<Satellite> out(large_.begin(), large_.end());
    for (const GnssSystem system : kAllSystems) {
      const auto& bits = direct_[static_cast<std::size_t>(system)];
      for (std::uint32_t prn = 0; prn < kDirect; ++prn) {
        if (bits.test(prn)) out.push_back({system, prn});
      }
    }
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  static constexpr std::uint32_t kDirect = 256;
  std::array<std::bitset<kDirect>, kAllSystems.size()> direct_;
  std::unordered_set<Satellite> large_;
};

}  // namespace

std::vector<Satellite> unique_satellites(const ObsData& data) {
  SatelliteSet seen;
  for (const ObsEpoch& epoch : data.epochs()) {
    for (const SatelliteEntry& entry : epoch.satellites()) seen.insert(entry.satellite);
  }
  return seen.sorted();
}

std::optional<double> effective_interval(const ObsData& data) {
  const std::vector<ObsEpoch>& epochs = data.epochs();
  if (epochs.size() < 2) return data.header().declared_interval;
  return std::abs(seconds_between(epochs[1].time, epochs[0].time));
}

GnssSystem system_of_text(std::string_view text) {
  if (text.empty()) return GnssSystem::GPS;
  return system_from_letter(text.front()).value_or(GnssSystem::GPS);
}

std::vector<std::string> observation_types(const ObsData& data, GnssSystem system) {
  std::vector<bool> seen(data.codes().size(), false);
  for (const ObsEpoch& epoch : data.epochs()) {
    for (const SatelliteEntry& entry : epoch.satellites()) {
      if (entry.satellite.system != system) continue;
      for (const ObsRecord& record : entry.observations()) seen[record.code] = true;
    }
  }
  std::vector<ObsCode> codes;
  for (std::size_t id = 0; id < seen.size(); ++id) {
    if (seen[id]) codes.push_back(data.code(static_cast<CodeId>(id)));
  }
  std::sort(codes.begin(), codes.end(), text_less);
  std::vector<std::string> texts;
  texts.reserve(codes.size());
  for (const ObsCode& code : codes) texts.push_back(to_string(code));
  return texts;
}

std::vector<SystemCount> satellites_by_system(const ObsData& data) {
  std::vector<SystemCount> counts;
  for (const Satellite& satellite : unique_satellites(data)) {
    if (counts.empty() || counts.back().system != satellite.system) {
      counts.push_back({satellite.system, 0});
    }
    ++counts.back().satellites;
  }
  return counts;
}

std::optional<std::int8_t> glonass_channel(const RinexObsHeader& header,
                                           const Satellite& satellite) {
  if (satellite.system != GnssSystem::GLONASS) return std::nullopt;
  const auto found = header.glonass_slots.find(satellite.prn);
  if (found == header.glonass_slots.end()) return std::nullopt;
  return found->second;
}

}  // namespace skyloam
