// Figures of the SP3 subsystem on the shared real files:
//   sp3_bench [testdata folder]
// - reading time per file;
// - interpolation error at held-out records (each interpolated from the
//   other records of its satellite), RMS and maximum in centimetres;
// - elevation queries per second for the multipath fill-in (one core).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "navigation/elevation_batch.hpp"
#include "navigation/sp3/orbit_interpolation.hpp"
#include "navigation/sp3/sp3_reader.hpp"

namespace {

using namespace skyloam;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string data_folder(int argc, char** argv) {
  if (argc > 1) return argv[1];
  if (const char* env = std::getenv("SKYLOAM_TESTDATA")) return env;
  return SP3_BENCH_DATA_DIR;
}

void report_reading(const std::string& folder, const char* file) {
  const auto start = Clock::now();
  const Result<Sp3Data> data = read_sp3(folder + "/sp3/" + file);
  const double elapsed = seconds_since(start);
  if (!data) {
    std::printf("  %-42s %s\n", file, data.error().display().c_str());
    return;
  }
  std::printf("  %-42s %8.2f ms  %s\n", file, elapsed * 1e3, to_string(*data).c_str());
}

struct HeldOutError {
  double sum_squares = 0.0;
  double max = 0.0;
  std::size_t count = 0;

  void add(double error) {
    sum_squares += error * error;
    max = std::max(max, error);
    ++count;
  }
  void print(const std::string& label) const {
    if (count == 0) return;
    std::printf("  %-44s %6zu records  RMS %7.2f cm  max %7.2f cm\n", label.c_str(), count,
                std::sqrt(sum_squares / static_cast<double>(count)) * 100.0, max * 100.0);
  }
};

// The record's distance from its interpolation out of all the satellite's
// other records; nothing unless four records remain on either side.
std::optional<double> held_out_error(const SatelliteOrbit& orbit, std::size_t k) {
  const auto records = orbit.records();
  if (k < 4 || k + 4 >= records.size()) return std::nullopt;
  std::vector<SatelliteRecords> others{{orbit.satellite(), {records.begin(), records.end()}}};
  others[0].records.erase(others[0].records.begin() + static_cast<std::ptrdiff_t>(k));
  const Sp3Data without(0, 0.0, std::move(others));
  const auto state = interpolate(without, orbit.satellite(), records[k].epoch);
  if (!state) return std::nullopt;
  return distance({state->x, state->y, state->z}, {records[k].x, records[k].y, records[k].z});
}

void report_accuracy(const std::string& folder, const char* file) {
  const Result<Sp3Data> data = read_sp3(folder + "/sp3/" + file);
  if (!data) return;
  HeldOutError all;
  std::map<char, HeldOutError> by_system;
  for (const SatelliteOrbit& orbit : data->orbits()) {
    for (std::size_t k = 0; k < orbit.records().size(); ++k) {
      if (const auto error = held_out_error(orbit, k)) {
        all.add(*error);
        by_system[system_code(orbit.satellite().system)].add(*error);
      }
    }
  }
  all.print(file);
  for (const auto& [letter, error] : by_system) error.print(std::string("    system ") + letter);
}

// Queries in the order of multipath estimates: per signal label, per
// satellite, the epochs in time order; every label repeats the pairs.
std::vector<SatelliteEpoch> estimate_order_queries(const Sp3Data& data, int labels, double hours) {
  std::vector<SatelliteEpoch> queries;
  const Epoch start{2015, 8, 23, 0, 0, 0.0};
  const int seconds = static_cast<int>(hours * 3600.0);
  for (int label = 0; label < labels; ++label) {
    for (const Satellite& satellite : data.satellites()) {
      for (int s = 0; s < seconds; ++s) {
        Epoch e = start;
        e.hour = static_cast<std::uint32_t>(s / 3600);
        e.minute = static_cast<std::uint32_t>(s / 60 % 60);
        e.second = s % 60;
        queries.push_back({satellite, e});
      }
    }
  }
  return queries;
}

void report_throughput(const std::string& folder) {
  const Result<Sp3Data> data = read_sp3(folder + "/sp3/igs18590.sp3");
  if (!data) return;
  const Ecef zimm{4331296.9226, 567556.0704, 4633134.0631};
  for (const int labels : {1, 3}) {
    const std::vector<SatelliteEpoch> queries = estimate_order_queries(*data, labels, 6.0);
    const auto start = Clock::now();
    const auto answers = azimuth_elevations(*data, zimm, queries);
    const double elapsed = seconds_since(start);
    std::size_t above = 0;
    for (const auto& a : answers) above += a && a->elevation > 0.0;
    std::printf("  azimuth_elevations, %d label(s), 1 Hz, 6 h: %zu queries in %.3f s = %.2f M queries/s"
                " (%zu above the horizon)\n",
                labels, queries.size(), elapsed, static_cast<double>(queries.size()) / elapsed / 1e6,
                above);
  }
  const std::vector<SatelliteEpoch> queries = estimate_order_queries(*data, 1, 2.0);
  const auto start = Clock::now();
  double checksum = 0.0;
  for (const SatelliteEpoch& q : queries) {
    if (const auto state = interpolate(*data, q.satellite, q.epoch)) checksum += state->x;
  }
  const double elapsed = seconds_since(start);
  std::printf("  interpolate alone: %zu calls in %.3f s = %.2f M calls/s (checksum %.0f)\n",
              queries.size(), elapsed, static_cast<double>(queries.size()) / elapsed / 1e6, checksum);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = data_folder(argc, argv);
  const char* files[] = {"igs18590.sp3", "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3", "Sta21114.sp3",
                         "COD0MGXFIN_20211180000_01D_05M_ORB.SP3"};
  std::printf("Reading:\n");
  for (const char* file : files) report_reading(folder, file);
  std::printf("Interpolation error at held-out records:\n");
  for (const char* file : files) report_accuracy(folder, file);
  std::printf("Elevation queries:\n");
  report_throughput(folder);
  return 0;
}
