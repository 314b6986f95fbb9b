#include "real_files.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <stdlib.h>

#include "analysis/multipath/multipath_analysis.hpp"
#include "large_files.hpp"
#include "rinex/obs_reader/obs_file.hpp"

namespace skyloam::bench {
namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void report_real_file(const std::string& label, const std::string& path, int runs) {
  double read_time = 1e300;
  double analyze_time = 1e300;
  std::size_t observations = 0;
  std::size_t estimates = 0;
  for (int run = 0; run < runs; ++run) {
    auto start = std::chrono::steady_clock::now();
    const Result<ObsData> data = read_obs_file(path);
    read_time = std::min(read_time, seconds_since(start));
    if (!data) {
      std::printf("%s: %s\n", label.c_str(), data.error().display().c_str());
      return;
    }
    start = std::chrono::steady_clock::now();
    const AnalysisOutput output = analyze(*data, AnalyzerConfig{});
    analyze_time = std::min(analyze_time, seconds_since(start));
    observations = data->observation_count();
    estimates = output.estimates.size();
  }
  std::printf("%-28s %10zu obs %9zu estimates  read %7.3f s  analyze %7.3f s  "
              "%6.1f M obs/s  analyze/read %.2f\n",
              label.c_str(), observations, estimates, read_time, analyze_time,
              static_cast<double>(observations) / analyze_time / 1e6, analyze_time / read_time);
}

void report_large_file(const std::string& testdata, std::size_t megabytes, int runs) {
  std::string pattern = (std::filesystem::temp_directory_path() / "skyloam_multipath_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  const std::filesystem::path folder = pattern;
  const LargeFile file = make_large_file(
      testdata + "/rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", Grammar::Rinex3,
      folder.string(), "large.rnx", megabytes << 20);
  std::remove(file.gzip_path.c_str());
  report_real_file("large RINEX 3 (" + std::to_string(file.plain_bytes >> 20) + " MB)",
                   file.plain_path, runs);
  std::filesystem::remove_all(folder);
}

}  // namespace skyloam::bench
