#include "navigation/sp3/sp3_data.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "navigation/sp3/orbit_interpolation.hpp"

namespace skyloam {
namespace {

bool strictly_increasing(std::span<const Sp3Record> records) {
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (!epoch_before(records[i - 1].epoch, records[i].epoch)) return false;
  }
  return true;
}

// Keeps, of every group of records within a nanosecond of each other, the
// first in file order; the kept records stay in file order.
std::vector<Sp3Record> drop_repeated_epochs(std::vector<Sp3Record> records) {
  if (strictly_increasing(records)) return records;
  const std::size_t n = records.size();
  std::vector<double> offset(n);
  for (std::size_t i = 0; i < n; ++i) offset[i] = seconds_between(records[i].epoch, records[0].epoch);
  std::vector<std::size_t> by_time(n);
  std::iota(by_time.begin(), by_time.end(), std::size_t{0});
  std::stable_sort(by_time.begin(), by_time.end(),
                   [&](std::size_t a, std::size_t b) { return offset[a] < offset[b]; });
  std::vector<bool> keep(n, false);
  for (std::size_t group = 0; group < n;) {
    const double leader = offset[by_time[group]];
    std::size_t first_in_file = by_time[group];
    std::size_t next = group + 1;
    for (; next < n && offset[by_time[next]] - leader < 1e-9; ++next) {
      first_in_file = std::min(first_in_file, by_time[next]);
    }
    keep[first_in_file] = true;
    group = next;
  }
  std::vector<Sp3Record> kept;
  kept.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (keep[i]) kept.push_back(records[i]);
  }
  return kept;
}

std::vector<Sp3Record> usable_records(std::vector<Sp3Record> records) {
  std::erase_if(records, [](const Sp3Record& r) { return !std::isfinite(r.epoch.second); });
  if (records.empty()) return records;
  return drop_repeated_epochs(std::move(records));
}

}  // namespace

SatelliteOrbit::SatelliteOrbit(Satellite satellite, std::vector<Sp3Record> records)
    : satellite_(satellite), records_(std::move(records)) {
  times_.reserve(records_.size());
  for (const Sp3Record& r : records_) times_.push_back(split_time(r.epoch));
  time_ordered_ = strictly_increasing(records_);
}

Sp3Data::Sp3Data(std::uint64_t num_epochs, double interval,
                 std::vector<SatelliteRecords> satellites)
    : num_epochs_(num_epochs), interval_(interval) {
  std::sort(satellites.begin(), satellites.end(),
            [](const SatelliteRecords& a, const SatelliteRecords& b) {
              return a.satellite < b.satellite;
            });
  for (std::size_t i = 0; i < satellites.size(); ++i) {
    SatelliteRecords& entry = satellites[i];
    if (i > 0 && satellites[i - 1].satellite == entry.satellite) {
      throw std::invalid_argument("satellite given twice to Sp3Data");
    }
    std::vector<Sp3Record> records = usable_records(std::move(entry.records));
    if (records.empty()) continue;
    orbits_.push_back(SatelliteOrbit(entry.satellite, std::move(records)));
    satellites_.push_back(entry.satellite);
  }
}

const SatelliteOrbit* Sp3Data::orbit(const Satellite& satellite) const {
  const auto it = std::lower_bound(satellites_.begin(), satellites_.end(), satellite);
  if (it == satellites_.end() || *it != satellite) return nullptr;
  return &orbits_[static_cast<std::size_t>(it - satellites_.begin())];
}

std::optional<Ecef> Sp3Data::position(std::size_t slot, const Epoch& epoch) const {
  const std::optional<SatelliteState> state = interpolate(orbits_[slot], epoch);
  if (!state) return std::nullopt;
  return Ecef{state->x, state->y, state->z};
}

std::string shortest_decimal(double value) {
  // Fixed notation of a double needs at most 309 integer digits, a sign and
  // 17 significant fraction digits after up to 324 leading zeros.
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string to_string(const Sp3Data& data) {
  return "Sp3Data(satellites=" + std::to_string(data.num_satellites()) +
         ", epochs=" + std::to_string(data.num_epochs()) +
         ", interval=" + shortest_decimal(data.interval()) + "s)";
}

}  // namespace skyloam
