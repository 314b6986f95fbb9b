// Figures of the broadcast-orbit subsystem on the shared real files:
//   nav_bench [testdata folder]
// - orbit accuracy against same-day SP3 files, per system, and the error
//   against the age of the ephemeris (which sets the validity spans);
// - reading time of each navigation file, and of the merged daily file
//   from memory without and with its gzip layer;
// - Keplerian positions per second (one core);
// - compute_elevations with broadcast orbits on the ESBC day: estimates per
//   second, and agreement of the elevations with those from SP3.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "elevation_agreement.hpp"
#include "nav_speed.hpp"
#include "navigation/broadcast/nav_reader.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "orbit_accuracy.hpp"

namespace {

using namespace skyloam;
using namespace skyloam::bench;

std::string data_folder(int argc, char** argv) {
  if (argc > 1) return argv[1];
  if (const char* env = std::getenv("SKYLOAM_TESTDATA")) return env;
  return NAV_BENCH_DATA_DIR;
}

struct SamePair {
  const char* nav;
  const char* sp3;
  const char* systems;
};

constexpr SamePair kPairs[] = {
    {"ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3", "GRE"},
    {"ESBC00DNK_R_20201770000_01D_MN.rnx.gz", "Sta21114.sp3", "CJ"},
    {"arlm200a.15n", "test_input_sp3_nav_2015_200.sp3", "G"},
};

void report_accuracy(const std::string& folder, bool by_age) {
  std::printf(
      "Broadcast orbits against SP3 at the SP3 epochs (3D, antenna phase centre vs centre of "
      "mass):\n");
  for (const SamePair& pair : kPairs) {
    const Result<NavData> nav = read_nav_file(folder + "/nav/" + pair.nav);
    const Result<Sp3Data> sp3 = read_sp3(folder + "/sp3/" + pair.sp3);
    if (!nav || !sp3) {
      std::printf("  %s / %s: not readable\n", pair.nav, pair.sp3);
      continue;
    }
    std::printf("  %s against %s\n", pair.nav, pair.sp3);
    for (const auto& [label, e] : errors_against_sp3(*nav, *sp3, pair.systems)) {
      std::printf("    %-11s %6zu epochs  RMS %6.2f m  max %7.2f m\n", label.c_str(), e.count,
                  e.rms(), e.max);
    }
    if (!by_age) continue;
    std::printf(
        "    error against age (validity spans ignored; GEO left out), RMS in m per half hour:\n");
    char system = 0;
    for (const auto& [key, e] : errors_by_age(*nav, *sp3, pair.systems)) {
      if (key.first != system) std::printf("\n      %c:", system = key.first);
      std::printf(" %+.1fh %.1f", key.second, e.rms());
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = data_folder(argc, argv);
  const bool by_age = std::getenv("NAV_BENCH_BY_AGE") != nullptr;
  report_accuracy(folder, by_age);
  report_reading(folder);
  report_positions_per_second(folder);
  report_elevations(folder);
  return 0;
}
