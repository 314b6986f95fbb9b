#include "navigation/broadcast/nav_data.hpp"

#include <algorithm>
#include <cmath>

#include "navigation/broadcast/gnss_time.hpp"
#include "utils/text/format.hpp"

namespace skyloam {

const BroadcastEphemeris* SatelliteEphemerides::serving(double time) const {
  // Outward from `time` on either side: the first ephemeris that covers it
  // is the nearest of its side; none beyond the widest span can.
  const auto split =
      std::lower_bound(list_.begin(), list_.end(), time,
                       [](const BroadcastEphemeris& e, double t) { return e.reference < t; });
  const BroadcastEphemeris* later = nullptr;
  for (auto it = split; it != list_.end() && it->reference - time <= longest_before_; ++it) {
    if (it->covers(time)) {
      later = &*it;
      break;
    }
  }
  const BroadcastEphemeris* earlier = nullptr;
  for (auto it = split; it != list_.begin() && time - (it - 1)->reference <= longest_after_; --it) {
    if ((it - 1)->covers(time)) {
      earlier = &*(it - 1);
      break;
    }
  }
  if (later == nullptr) return earlier;
  if (earlier == nullptr) return later;
  return later->reference - time <= time - earlier->reference ? later : earlier;
}

NavData::NavData(const NavHeader& header, std::vector<SatelliteEphemeris> ephemerides)
    : version_(header.version), leap_seconds_(header.leap_seconds) {
  // Satellite order, then reference time; file order among equals, so the
  // first copy of a duplicate leads.
  std::stable_sort(ephemerides.begin(), ephemerides.end(),
                   [](const SatelliteEphemeris& a, const SatelliteEphemeris& b) {
                     if (a.satellite != b.satellite) return a.satellite < b.satellite;
                     return a.ephemeris.reference < b.ephemeris.reference;
                   });
  for (std::size_t i = 0; i < ephemerides.size(); ++i) {
    const SatelliteEphemeris& entry = ephemerides[i];
    const bool new_satellite = satellites_.empty() || satellites_.back() != entry.satellite;
    if (new_satellite) {
      satellites_.push_back(entry.satellite);
      ephemerides_.emplace_back();
    } else if (ephemerides[i - 1].ephemeris.reference == entry.ephemeris.reference) {
      continue;
    }
    SatelliteEphemerides& own = ephemerides_.back();
    const BroadcastEphemeris& e = entry.ephemeris;
    own.longest_before_ = std::max(own.longest_before_, e.reference - e.valid_from);
    own.longest_after_ = std::max(own.longest_after_, e.valid_until - e.reference);
    own.list_.push_back(e);
    ++num_records_;
  }
}

std::optional<Ecef> NavData::position(std::size_t slot, const Epoch& epoch) const {
  const auto time = seconds_since_gps_origin(epoch);
  if (!time) return std::nullopt;
  const BroadcastEphemeris* ephemeris = ephemerides_[slot].serving(*time);
  if (ephemeris == nullptr) return std::nullopt;
  const Ecef p = ephemeris->position(*time);
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return std::nullopt;
  return p;
}

const SatelliteEphemerides* NavData::ephemerides(const Satellite& satellite) const {
  const auto slot = slot_of(satellite);
  return slot ? &ephemerides_[*slot] : nullptr;
}

std::string to_string(const NavData& data) {
  std::string version = format_shortest(data.version());
  if (version.find_first_of(".na") == std::string::npos) version += ".0";
  return "NavData(version=" + version + ", satellites=" + std::to_string(data.satellites().size()) +
         ", records=" + std::to_string(data.num_records()) + ")";
}

}  // namespace skyloam
