// OrbitSource: where satellite positions come from, whatever the orbits:
// SP3 precise orbits (Sp3Data) or broadcast ephemerides (NavData).
//
// Both answer alike: the Earth-fixed position in metres at the epoch as
// given, read as GPS time (the time of RINEX observation epochs), with no
// light-time correction; nothing when the source has no orbit for that
// satellite then. Sources are immutable: any number of threads may ask at
// once.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "geodesy/coordinates.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

class OrbitSource {
 public:
  virtual ~OrbitSource() = default;

  // The satellites with an orbit, in Satellite order, each once. A
  // satellite's slot is its index here.
  virtual std::span<const Satellite> satellites() const = 0;
  virtual std::optional<Ecef> position(std::size_t slot, const Epoch& epoch) const = 0;

  std::optional<std::size_t> slot_of(const Satellite& satellite) const;
  std::optional<Ecef> position(const Satellite& satellite, const Epoch& epoch) const;

 protected:
  OrbitSource() = default;
  OrbitSource(const OrbitSource&) = default;
  OrbitSource& operator=(const OrbitSource&) = default;
  OrbitSource(OrbitSource&&) = default;
  OrbitSource& operator=(OrbitSource&&) = default;
};

// The position of the satellite named by `satellite` (text as
// parse_satellite takes it); nothing when the text names no satellite or
// the source has no position.
std::optional<Ecef> get_position(const OrbitSource& orbits, std::string_view satellite,
                                 const Epoch& epoch);

// The elevation in degrees of that position seen from `receiver`
// (azimuth_elevation); negative below the horizon.
std::optional<double> compute_elevation(const OrbitSource& orbits, const Ecef& receiver,
                                        std::string_view satellite, const Epoch& epoch);

}  // namespace skyloam
