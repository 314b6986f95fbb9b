// Sp3Data: the precise orbits of an SP3 file, immutable once built.
//
// Holds the header's declared epoch count and interval, and per satellite
// the position records in file order. Building normalises the records so
// that every stored one can take part in interpolation:
// - records whose epoch seconds are not finite are dropped;
// - a record at an epoch its satellite already has (within a nanosecond) is
//   dropped, the first one in file order stays;
// - satellites left without records are not kept.
// Satellites are kept in Satellite order (system letter, then number), so
// two reads of one file list them alike.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "navigation/orbit_source.hpp"
#include "navigation/sp3/split_time.hpp"
#include "rinex/types/satellite.hpp"
#include "utils/time/epoch.hpp"

namespace skyloam {

// One position record: metres, and the clock offset in microseconds as
// written in the file.
struct Sp3Record {
  Epoch epoch;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  double clock = 0.0;
};

// Input of Sp3Data: one satellite's records in file order.
struct SatelliteRecords {
  Satellite satellite;
  std::vector<Sp3Record> records;
};

// One satellite's stored records, never empty, in file order.
class SatelliteOrbit {
 public:
  const Satellite& satellite() const { return satellite_; }
  std::span<const Sp3Record> records() const { return records_; }
  // The records' epochs split for exact interval arithmetic, parallel to
  // records().
  std::span<const SplitTime> times() const { return times_; }
  // True when the records run strictly forward in time (every real file).
  bool time_ordered() const { return time_ordered_; }

 private:
  friend class Sp3Data;
  // `records`: non-empty, with finite epoch seconds and no repeated epoch.
  SatelliteOrbit(Satellite satellite, std::vector<Sp3Record> records);

  Satellite satellite_;
  std::vector<Sp3Record> records_;
  std::vector<SplitTime> times_;
  bool time_ordered_ = true;
};

// As an OrbitSource: the interpolated position (see orbit_interpolation.hpp).
class Sp3Data final : public OrbitSource {
 public:
  Sp3Data() = default;
  // Each satellite at most once (a repeated satellite is a broken invariant
  // and throws std::invalid_argument).
  Sp3Data(std::uint64_t num_epochs, double interval, std::vector<SatelliteRecords> satellites);

  // Satellites with at least one record, in Satellite order.
  std::span<const Satellite> satellites() const override { return satellites_; }
  using OrbitSource::position;
  std::optional<Ecef> position(std::size_t slot, const Epoch& epoch) const override;
  std::size_t num_satellites() const { return satellites_.size(); }
  // As declared in the header, not counted.
  std::uint64_t num_epochs() const { return num_epochs_; }
  // Seconds, as declared in the header.
  double interval() const { return interval_; }

  // The satellite's records, or nullptr when it has none.
  const SatelliteOrbit* orbit(const Satellite& satellite) const;
  std::span<const SatelliteOrbit> orbits() const { return orbits_; }

 private:
  std::uint64_t num_epochs_ = 0;
  double interval_ = 0.0;
  std::vector<SatelliteOrbit> orbits_;  // in Satellite order
  std::vector<Satellite> satellites_;   // parallel to orbits_
};

// The shortest decimal text that reads back as `value`, never with an
// exponent: 900.0 gives "900", 0.5 gives "0.5", 1e-5 gives "0.00001".
std::string shortest_decimal(double value);

// "Sp3Data(satellites=31, epochs=96, interval=900s)".
std::string to_string(const Sp3Data& data);

}  // namespace skyloam
