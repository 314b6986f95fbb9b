#include "elevation_agreement.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "analysis/multipath/elevation_fill.hpp"
#include "navigation/broadcast/nav_reader.hpp"
#include "navigation/elevation_batch.hpp"
#include "navigation/sp3/sp3_reader.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "run_time.hpp"

namespace skyloam::bench {
namespace {

struct Agreement {
  std::size_t both = 0;
  std::size_t within = 0;
  double worst = 0.0;
};

void report_agreement(const std::vector<SatelliteEpoch>& queries, const NavData& nav,
                      const Sp3Data& grg, const Sp3Data& iac, const Ecef& receiver) {
  const auto from_nav = azimuth_elevations(nav, receiver, queries);
  const auto from_grg = azimuth_elevations(grg, receiver, queries);
  const auto from_iac = azimuth_elevations(iac, receiver, queries);
  std::map<char, Agreement> by_system;
  Agreement all;
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const GnssSystem system = queries[i].satellite.system;
    const bool precise_from_iac = system == GnssSystem::BeiDou || system == GnssSystem::QZSS;
    const auto& precise = precise_from_iac ? from_iac[i] : from_grg[i];
    if (!from_nav[i] || !precise || !(from_nav[i]->elevation > 0) || !(precise->elevation > 0))
      continue;
    const double difference = std::fabs(from_nav[i]->elevation - precise->elevation);
    for (Agreement* a : {&all, &by_system[system_code(system)]}) {
      ++a->both;
      a->within += difference <= 0.001;
      a->worst = std::max(a->worst, difference);
    }
  }
  const auto print = [](const char* label, const Agreement& a) {
    std::printf("    %-4s %8zu both computed, %6.2f %% within 0.001 deg, worst %.5f deg\n", label,
                a.both, a.both ? 100.0 * a.within / a.both : 0.0, a.worst);
  };
  print("all", all);
  for (const auto& [letter, a] : by_system) print(std::string(1, letter).c_str(), a);
}

// fill_elevations (what compute_elevations runs) on copies of the results.
void report_fill_speed(const char* label, const AnalysisOutput& analysed, const OrbitSource& orbits,
                       const Ecef& receiver) {
  RunTime best{1e30, 1e30};
  ElevationCounts counts;
  for (int run = 0; run < 3; ++run) {
    AnalysisOutput results = analysed;
    const RunTime time = best_of(1, [&] { counts = fill_elevations(results, orbits, receiver); });
    best = {std::min(best.wall, time.wall), std::min(best.cpu, time.cpu)};
  }
  const double count = static_cast<double>(analysed.estimates.size());
  std::printf("  %-8s %s  %5.2f M estimates/s on one core (computed %llu, failed %llu)\n", label,
              best.text().c_str(), count / best.cpu / 1e6,
              static_cast<unsigned long long>(counts.computed),
              static_cast<unsigned long long>(counts.failed));
}

}  // namespace

void report_elevations(const std::string& folder) {
  const auto obs = read_obs_file(folder + "/rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz");
  const auto nav = read_nav_file(folder + "/nav/ESBC00DNK_R_20201770000_01D_MN.rnx.gz");
  const auto grg = read_sp3(folder + "/sp3/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3");
  const auto iac = read_sp3(folder + "/sp3/Sta21114.sp3");
  if (!obs || !nav || !grg || !iac || !obs->header().approx_position) return;
  const auto& xyz = *obs->header().approx_position;
  const Ecef receiver{xyz[0], xyz[1], xyz[2]};
  const AnalysisOutput analysed = analyze(*obs, AnalyzerConfig{});
  std::printf("\ncompute_elevations on the ESBC day (%zu estimates), best of 3:\n",
              analysed.estimates.size());
  report_fill_speed("NavData", analysed, *nav, receiver);
  report_fill_speed("Sp3Data", analysed, *grg, receiver);
  std::printf("  elevations from the navigation file against SP3 (GRG: G R E, IAC: C J):\n");
  report_agreement(estimate_queries(analysed.estimates), *nav, *grg, *iac, receiver);
}

}  // namespace skyloam::bench
