#include "nav_speed.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "navigation/broadcast/nav_reader.hpp"
#include "rinex/obs_reader/gzip_source.hpp"
#include "rinex/obs_reader/memory_source.hpp"
#include "run_time.hpp"

namespace skyloam::bench {
namespace {

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string gunzipped(const std::string& compressed) {
  GzipByteSource gzip(std::make_unique<MemoryByteSource>(compressed));
  std::string plain;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const auto got = gzip.read(buffer);
    if (!got || *got == 0) break;
    plain.append(buffer.data(), *got);
  }
  return plain;
}

constexpr const char* kMerged = "BRD400DLR_S_20230710000_01D_MN.rnx.gz";

void report_merged_from_memory(const std::string& folder) {
  const std::string compressed = file_bytes(folder + "/nav/" + kMerged);
  const std::string plain = gunzipped(compressed);
  const RunTime gz = best_of(5, [&] { (void)read_nav_bytes(compressed, kMerged); });
  const RunTime text = best_of(5, [&] { (void)read_nav_bytes(plain, "merged.rnx"); });
  std::printf("  %s from memory: with gzip (%.1f MB) %s; as plain text (%.1f MB) %s, %.0f MB/s\n",
              kMerged, compressed.size() / 1e6, gz.text().c_str(), plain.size() / 1e6,
              text.text().c_str(), plain.size() / 1e6 / text.cpu);
}

// (slot, epoch) of the Keplerian systems or of GLONASS, every 30 s of the
// day that an ephemeris serves.
std::vector<std::pair<std::size_t, Epoch>> served_queries(const NavData& nav, bool keplerian) {
  std::vector<std::pair<std::size_t, Epoch>> queries;
  const auto satellites = nav.satellites();
  for (std::size_t slot = 0; slot < satellites.size(); ++slot) {
    const GnssSystem system = satellites[slot].system;
    if ((system == GnssSystem::GLONASS) == keplerian || system == GnssSystem::SBAS) continue;
    for (std::uint32_t s = 0; s < 86400; s += 30) {
      const Epoch epoch{2020, 6, 25, s / 3600, s / 60 % 60, s % 60 + 0.25};
      if (nav.position(slot, epoch)) queries.push_back({slot, epoch});
    }
  }
  return queries;
}

}  // namespace

void report_reading(const std::string& folder) {
  std::printf("\nReading (best of 5):\n");
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder + "/nav"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    Result<NavData> data = fail(GnssError::io("not read"));
    const RunTime time = best_of(5, [&] { data = read_nav_file(path.string()); });
    std::printf("  %-40s %-30s %s\n", path.filename().c_str(), time.text().c_str(),
                data ? to_string(*data).c_str() : data.error().display().c_str());
  }
  report_merged_from_memory(folder);
}

void report_positions_per_second(const std::string& folder) {
  const Result<NavData> nav = read_nav_file(folder + "/nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  if (!nav) return;
  std::printf("\nPositions per second (ESBC day, every 30 s that an ephemeris serves):\n");
  for (const bool keplerian : {true, false}) {
    const auto queries = served_queries(*nav, keplerian);
    double checksum = 0.0;
    const RunTime time = best_of(3, [&] {
      for (const auto& [slot, epoch] : queries) checksum += nav->position(slot, epoch)->x;
    });
    const double count = static_cast<double>(queries.size());
    std::printf("  %-9s %7zu positions  %6.2f M/s on one core (%.0f ns each), %6.2f M/s wall\n",
                keplerian ? "Keplerian" : "GLONASS", queries.size(), count / time.cpu / 1e6,
                time.cpu / count * 1e9, count / time.wall / 1e6);
  }
}

}  // namespace skyloam::bench
