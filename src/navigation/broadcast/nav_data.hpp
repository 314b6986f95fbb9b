// NavData: the usable broadcast ephemerides of a navigation file, immutable
// once built.
//
// Building keeps one copy of duplicate ephemerides (the same satellite and
// reference time, as in the I/NAV and F/NAV copies of a Galileo ephemeris or
// the records of a merged file): the first in file order. Satellites are
// kept in Satellite order, each one's ephemerides by reference time.
//
// As an OrbitSource, the position at an epoch (GPS time) comes from the
// ephemeris whose validity span (validity.hpp) covers it and whose
// reference time is nearest; nothing when none covers it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "navigation/broadcast/broadcast_ephemeris.hpp"
#include "navigation/broadcast/nav_header.hpp"
#include "navigation/orbit_source.hpp"

namespace skyloam {

struct SatelliteEphemeris {
  Satellite satellite;
  BroadcastEphemeris ephemeris;
};

class SatelliteEphemerides {
 public:
  // By reference time, each reference time once.
  std::span<const BroadcastEphemeris> list() const { return list_; }
  // The one serving `time` (continuous GPS seconds), or nullptr.
  const BroadcastEphemeris* serving(double time) const;

 private:
  friend class NavData;
  std::vector<BroadcastEphemeris> list_;
  // The widest validity spans, bounding the search.
  double longest_before_ = 0.0;
  double longest_after_ = 0.0;
};

class NavData final : public OrbitSource {
 public:
  NavData() = default;
  // `ephemerides` in file order.
  NavData(const NavHeader& header, std::vector<SatelliteEphemeris> ephemerides);

  double version() const { return version_; }
  // The header's LEAP SECONDS count as written.
  std::optional<std::int32_t> leap_seconds() const { return leap_seconds_; }
  // Ephemerides kept.
  std::size_t num_records() const { return num_records_; }

  std::span<const Satellite> satellites() const override { return satellites_; }
  using OrbitSource::position;
  std::optional<Ecef> position(std::size_t slot, const Epoch& epoch) const override;

  // The satellite's ephemerides, or nullptr when it has none.
  const SatelliteEphemerides* ephemerides(const Satellite& satellite) const;

 private:
  double version_ = 0.0;
  std::optional<std::int32_t> leap_seconds_;
  std::size_t num_records_ = 0;
  std::vector<Satellite> satellites_;
  std::vector<SatelliteEphemerides> ephemerides_;  // parallel to satellites_
};

// "NavData(version=3.05, satellites=113, records=2741)"; the version as
// Python prints a float (4.0, 3.05).
std::string to_string(const NavData& data);

}  // namespace skyloam
