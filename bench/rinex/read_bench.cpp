// Reader benchmark: speed and memory of read_obs_file on large files.
//
//   rinex_read_bench [--megabytes N] [--runs R] [--folder DIR] [--keep]
//
// Makes a RINEX 3 file (from ESBC00DNK, a multi-GNSS day) and a RINEX 2
// file (from ZIMM2350) of at least N MB each, plain and gzip, in a fresh
// temporary folder (deleted afterwards unless --keep). Each read runs in a
// new process; the best of R runs is shown, with the process's peak
// resident memory (VmHWM) per stored observation, and `zcat > /dev/null`
// of the same gzip file for comparison. Wall and CPU (user + system) times
// are both shown: on a busy machine the CPU time is the one-core figure.
// Figures only: nothing is asserted.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "child_run.hpp"
#include "large_files.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "utils/time/epoch.hpp"

namespace {

using skyloam::bench::ChildRun;
using skyloam::bench::Grammar;
using skyloam::bench::LargeFile;
using skyloam::bench::run_child;

long peak_resident_kilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// Child side: read one file, print "observations epochs seconds peak_kb".
int read_one(const char* path) {
  const auto start = std::chrono::steady_clock::now();
  const auto data = skyloam::read_obs_file(path);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!data) {
    std::fprintf(stderr, "%s\n", data.error().display().c_str());
    return 1;
  }
  std::printf("%zu %zu %.6f %ld\n", data->observation_count(), data->epochs().size(), seconds,
              peak_resident_kilobytes());
  return 0;
}

struct ReadFigures {
  std::size_t observations = 0;
  std::size_t epochs = 0;
  double seconds = 1e300;  // best run, timed inside the child
  double cpu_seconds = 1e300;
  double peak_bytes = 0;
};

ReadFigures best_read(const std::string& self, const std::string& path, int runs) {
  ReadFigures best;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = run_child({self, "--read", path}, true);
    ReadFigures f;
    long peak_kb = 0;
    if (!run.ok || std::sscanf(run.output.c_str(), "%zu %zu %lf %ld", &f.observations, &f.epochs,
                               &f.seconds, &peak_kb) != 4) {
      std::fprintf(stderr, "reading %s failed\n", path.c_str());
      std::exit(1);
    }
    best.observations = f.observations;
    best.epochs = f.epochs;
    best.seconds = std::min(best.seconds, f.seconds);
    best.cpu_seconds = std::min(best.cpu_seconds, run.cpu_seconds);
    best.peak_bytes = static_cast<double>(peak_kb) * 1024.0;
  }
  return best;
}

// The best wall time and the best CPU time of `zcat path > /dev/null`.
ChildRun best_zcat(const std::string& path, int runs) {
  ChildRun best;
  best.wall_seconds = best.cpu_seconds = 1e300;
  for (int i = 0; i < runs; ++i) {
    const ChildRun run = run_child({"zcat", path}, false);
    best.wall_seconds = std::min(best.wall_seconds, run.wall_seconds);
    best.cpu_seconds = std::min(best.cpu_seconds, run.cpu_seconds);
  }
  return best;
}

void report(const char* title, const LargeFile& file, const std::string& self, int runs) {
  const double megabytes = static_cast<double>(file.plain_bytes) / 1e6;
  const ReadFigures plain = best_read(self, file.plain_path, runs);
  const ReadFigures zipped = best_read(self, file.gzip_path, runs);
  const ChildRun zcat = best_zcat(file.gzip_path, runs);
  const double obs = static_cast<double>(plain.observations);
  std::printf("\n%s: %.1f MB of text (%d copies), %zu epochs, %zu observations\n", title, megabytes,
              file.copies, plain.epochs, plain.observations);
  std::printf("  plain read    wall %7.3f s %7.1f MB/s %6.1f ns/obs | cpu %7.3f s %7.1f MB/s %6.1f ns/obs\n",
              plain.seconds, megabytes / plain.seconds, plain.seconds / obs * 1e9,
              plain.cpu_seconds, megabytes / plain.cpu_seconds, plain.cpu_seconds / obs * 1e9);
  std::printf("  peak memory   %.1f MB, %.2f bytes/observation\n", plain.peak_bytes / 1e6,
              plain.peak_bytes / obs);
  std::printf("  gzip read     wall %7.3f s %7.1f MB/s of text   | cpu %7.3f s\n", zipped.seconds,
              megabytes / zipped.seconds, zipped.cpu_seconds);
  std::printf("  zcat >/dev/null wall %5.3f s                       | cpu %7.3f s\n", zcat.wall_seconds,
              zcat.cpu_seconds);
  std::printf("  gzip read / zcat: wall %.2f, cpu %.2f\n", zipped.seconds / zcat.wall_seconds,
              zipped.cpu_seconds / zcat.cpu_seconds);
  if (zipped.observations != plain.observations) std::printf("  MISMATCH between plain and gzip!\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read") == 0) return read_one(argv[2]);
  std::size_t megabytes = 210;
  int runs = 3;
  bool keep = false;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--megabytes" && i + 1 < argc) megabytes = std::strtoul(argv[++i], nullptr, 10);
    else if (arg == "--runs" && i + 1 < argc) runs = std::atoi(argv[++i]);
    else if (arg == "--folder" && i + 1 < argc) folder = argv[++i];
    else if (arg == "--keep") keep = true;
    else {
      std::fprintf(stderr, "usage: %s [--megabytes N] [--runs R] [--folder DIR] [--keep]\n", argv[0]);
      return 2;
    }
  }
  const char* testdata_env = std::getenv("SKYLOAM_TESTDATA");
  const std::string testdata = testdata_env ? testdata_env : SKYLOAM_BENCH_TESTDATA_DIR;
  if (folder.empty()) {
    char pattern[] = "/tmp/skyloam_rinex_bench_XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    folder = pattern;
  }
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();
  std::printf("rinex_read_bench: files of at least %zu MB in %s, best of %d runs\n", megabytes,
              folder.c_str(), runs);
  const std::size_t bytes = megabytes * 1000000;
  try {
    const LargeFile rinex3 = skyloam::bench::make_large_file(
        testdata + "/rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", Grammar::Rinex3, folder,
        "LARGE00DNK_R_20201770000_07D_30S_MO.rnx", bytes);
    report("RINEX 3", rinex3, self, runs);
    const LargeFile rinex2 = skyloam::bench::make_large_file(
        testdata + "/rinex2/ZIMM2350.15O", Grammar::Rinex2, folder, "LARG2350.15o", bytes);
    report("RINEX 2", rinex2, self, runs);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    if (!keep) std::filesystem::remove_all(folder);
    return 1;
  }
  const ChildRun empty = run_child({self, "--read", "/dev/null"}, true);
  long baseline_kb = 0;
  std::sscanf(empty.output.c_str(), "%*u %*u %*f %ld", &baseline_kb);
  std::printf("\nbaseline peak memory of a reading process (empty input): %.1f MB\n",
              static_cast<double>(baseline_kb) / 1e3);
  std::printf("targets: plain RINEX 3 >= 250 MB/s on one core; gzip read <= 1.3 x zcat; "
              "<= 24 bytes/observation\n");
  if (!keep) std::filesystem::remove_all(folder);
  return 0;
}
