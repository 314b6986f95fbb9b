// The SP3 reader on text held in memory, then interpolation and the
// elevation batch on whatever it stored.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_check.hpp"
#include "navigation/elevation_batch.hpp"
#include "navigation/sp3/orbit_interpolation.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "rinex/obs_reader/line_splitter.hpp"
#include "rinex/obs_reader/memory_source.hpp"

using namespace skyloam;

namespace {

// Interpolation is tried at this many record epochs per satellite, and
// halfway between them.
constexpr std::size_t kProbes = 12;

bool finite(const SatelliteState& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) && std::isfinite(s.vx) &&
         std::isfinite(s.vy) && std::isfinite(s.vz) && std::isfinite(s.clock);
}

Epoch halfway(const Epoch& a, const Epoch& b) {
  Epoch middle = a;
  middle.second += seconds_between(b, a) / 2.0;
  return middle;
}

void check_orbit(const SatelliteOrbit& orbit) {
  const auto records = orbit.records();
  FUZZ_CHECK(!records.empty(), "a stored satellite without records");
  FUZZ_CHECK(orbit.times().size() == records.size(), "times() not parallel to records()");
  for (const Sp3Record& r : records) {
    FUZZ_CHECK(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z),
               "a stored position that is not finite");
    FUZZ_CHECK(std::isfinite(r.clock) && std::fabs(r.clock) <= 900000.0,
               "a stored clock that is not finite or is a bad-clock marker");
    FUZZ_CHECK(r.x != 0.0 || r.y != 0.0 || r.z != 0.0, "a stored missing-position marker");
    FUZZ_CHECK(std::isfinite(r.epoch.second), "a stored epoch with seconds that are not finite");
  }
  if (records.size() <= 400) {
    for (std::size_t i = 0; i < records.size(); ++i) {
      for (std::size_t j = i + 1; j < records.size(); ++j) {
        FUZZ_CHECK(std::fabs(seconds_between(records[j].epoch, records[i].epoch)) >= 1e-9,
                   "two stored records at one epoch");
      }
    }
  }
  if (orbit.time_ordered()) {
    for (std::size_t i = 1; i < records.size(); ++i) {
      FUZZ_CHECK(seconds_between(records[i].epoch, records[i - 1].epoch) > 0.0,
                 "time_ordered() but the records do not run forward");
    }
  }
}

void check_interpolation(const Sp3Data& sp3, const SatelliteOrbit& orbit) {
  const auto records = orbit.records();
  const Ecef receiver{4331296.9226, 567556.0704, 4633134.0631};
  std::vector<SatelliteEpoch> queries;
  for (std::size_t i = 0; i < records.size() && i < kProbes; ++i) {
    queries.push_back({orbit.satellite(), records[i].epoch});
    if (i + 1 < records.size()) {
      queries.push_back({orbit.satellite(), halfway(records[i].epoch, records[i + 1].epoch)});
    }
  }
  const auto answers = azimuth_elevations(sp3, receiver, queries);
  FUZZ_CHECK(answers.size() == queries.size(), "not one elevation answer per query");
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const auto state = interpolate(sp3, queries[i].satellite, queries[i].epoch);
    if (state) FUZZ_CHECK(finite(*state), "an interpolated state that is not finite");
    FUZZ_CHECK(state.has_value() == answers[i].has_value(),
               "the elevation batch and interpolation disagree on a query");
    if (!answers[i]) continue;
    const AzEl& angles = *answers[i];
    FUZZ_CHECK(angles.azimuth >= 0.0 && angles.azimuth < 360.0, "an azimuth outside [0, 360)");
    FUZZ_CHECK(angles.elevation >= -90.0 && angles.elevation <= 90.0,
               "an elevation outside [-90, 90]");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LineSplitter lines(std::make_unique<MemoryByteSource>(fuzz::as_chars(data, size)));
  const Result<Sp3Data> read = read_sp3(lines);
  if (!read) {
    FUZZ_CHECK(read.error().kind() == ErrorKind::Io, "SP3 content made the reader fail");
    return 0;
  }
  const Sp3Data& sp3 = *read;
  const auto satellites = sp3.satellites();
  FUZZ_CHECK(satellites.size() == sp3.orbits().size(), "satellites() not parallel to orbits()");
  for (std::size_t i = 0; i < satellites.size(); ++i) {
    if (i > 0) FUZZ_CHECK(satellites[i - 1] < satellites[i], "satellites not sorted and unique");
    const SatelliteOrbit* orbit = sp3.orbit(satellites[i]);
    FUZZ_CHECK(orbit == &sp3.orbits()[i], "orbit() misses a listed satellite");
    check_orbit(*orbit);
    check_interpolation(sp3, *orbit);
  }
  FUZZ_CHECK(!to_string(sp3).empty(), "no representation");
  return 0;
}
