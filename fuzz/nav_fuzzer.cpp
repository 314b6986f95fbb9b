// The navigation reader on text held in memory, then every stored
// ephemeris's orbit, the choice of ephemeris and the elevation batch.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_check.hpp"
#include "navigation/broadcast/gnss_time.hpp"
#include "navigation/broadcast/nav_reader.hpp"
#include "navigation/elevation_batch.hpp"
#include "rinex/obs_reader/line_splitter.hpp"
#include "rinex/obs_reader/memory_source.hpp"

using namespace skyloam;

namespace {

// Ephemerides probed per satellite, and times per ephemeris.
constexpr std::size_t kProbedEphemerides = 6;

bool finite(const Ecef& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The epoch (GPS time fields) `seconds` after the GPS origin.
Epoch epoch_at(double seconds) {
  const double days = std::floor(seconds / kSecondsPerDay);
  const double of_day = seconds - days * kSecondsPerDay;
  const CivilDate date =
      civil_from_days(days_from_civil(1980, 1, 6) + static_cast<std::int64_t>(days));
  const auto whole = static_cast<std::uint32_t>(of_day);
  return {static_cast<std::int32_t>(date.year),
          date.month,
          date.day,
          whole / 3600,
          whole / 60 % 60,
          std::fmod(of_day, 60.0)};
}

void check_ephemerides(const NavData& nav, std::size_t slot, std::vector<SatelliteEpoch>& queries) {
  const Satellite& satellite = nav.satellites()[slot];
  const SatelliteEphemerides* own = nav.ephemerides(satellite);
  FUZZ_CHECK(own != nullptr && !own->list().empty(), "a listed satellite without ephemerides");
  const auto list = own->list();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const BroadcastEphemeris& e = list[i];
    if (i > 0) FUZZ_CHECK(list[i - 1].reference < e.reference, "ephemerides not by reference time");
    FUZZ_CHECK(e.valid_from <= e.reference && e.reference <= e.valid_until,
               "a reference time outside its validity span");
    if (i >= kProbedEphemerides) continue;
    for (const double time : {e.valid_from, e.reference, e.valid_until}) {
      FUZZ_CHECK(finite(e.position(time)), "an orbit that is not finite within its span");
      const BroadcastEphemeris* chosen = own->serving(time);
      FUZZ_CHECK(chosen != nullptr && chosen->covers(time), "no covering ephemeris chosen");
      FUZZ_CHECK(std::fabs(time - chosen->reference) <= std::fabs(time - e.reference),
                 "a farther ephemeris chosen");
      queries.push_back({satellite, epoch_at(time)});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LineSplitter lines(std::make_unique<MemoryByteSource>(fuzz::as_chars(data, size)));
  const Result<NavData> read = read_nav(lines);
  if (!read) {
    const ErrorKind kind = read.error().kind();
    FUZZ_CHECK(kind == ErrorKind::Io || kind == ErrorKind::Navigation ||
                   kind == ErrorKind::UnsupportedVersion,
               "navigation content made the reader fail in an unexpected way");
    return 0;
  }
  const NavData& nav = *read;
  const auto satellites = nav.satellites();
  std::size_t records = 0;
  std::vector<SatelliteEpoch> queries;
  for (std::size_t slot = 0; slot < satellites.size(); ++slot) {
    if (slot > 0)
      FUZZ_CHECK(satellites[slot - 1] < satellites[slot], "satellites not sorted and unique");
    records += nav.ephemerides(satellites[slot])->list().size();
    check_ephemerides(nav, slot, queries);
  }
  FUZZ_CHECK(records == nav.num_records(), "num_records() does not count the ephemerides");
  const Ecef receiver{3582105.2910, 532589.7313, 5232754.8054};
  const auto answers = azimuth_elevations(nav, receiver, queries);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const auto alone = nav.position(queries[i].satellite, queries[i].epoch);
    FUZZ_CHECK(answers[i].has_value() == alone.has_value(),
               "the elevation batch and single positions disagree");
    if (alone) FUZZ_CHECK(finite(*alone), "a position that is not finite");
  }
  FUZZ_CHECK(!to_string(nav).empty(), "no representation");
  return 0;
}
