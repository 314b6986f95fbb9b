// Reader benchmark: speed and memory of read_obs_file on large files.
//
//   rinex_read_bench [--megabytes N] [--runs R] [--folder DIR] [--keep]
//
// Makes a RINEX 3 file (from ESBC00DNK, a multi-GNSS day) and a RINEX 2
// file (from ZIMM2350) of at least N MB each, plain and gzip, in a fresh
// temporary folder (deleted afterwards unless --keep). Each read runs in a
// new process; the best of R runs is shown, with the process's peak
// resident memory (VmHWM) per stored observation, and `zcat > /dev/null`
// of the same gzip file for comparison. Then two threads of one process
// read the two files at once, against reading them one after the other.
// Wall and CPU (user + system) times are both shown: on a busy machine the
// CPU time is the one-core figure. Figures only: nothing is asserted.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "large_files.hpp"
#include "read_runs.hpp"

namespace {

using skyloam::bench::ChildRun;
using skyloam::bench::Grammar;
using skyloam::bench::LargeFile;
using skyloam::bench::ReadFigures;
using skyloam::bench::best_read;
using skyloam::bench::best_read_two;
using skyloam::bench::best_zcat;

struct FileReport {
  ReadFigures plain;
  ReadFigures zipped;
};

FileReport report(const char* title, const LargeFile& file, const std::string& self, int runs) {
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
  return {plain, zipped};
}

// Two threads, one file each, against the two reads one after the other:
// the wall-time speed-up, and the CPU time both cost at once against alone
// (equal CPU times mean the threads share nothing that slows them).
void report_two_threads(const char* what, const std::string& self, const std::string& first,
                        const ReadFigures& first_alone, const std::string& second,
                        const ReadFigures& second_alone, int runs) {
  const ChildRun both = best_read_two(self, first, second, runs);
  const double wall_alone = first_alone.seconds + second_alone.seconds;
  const double cpu_alone = first_alone.cpu_seconds + second_alone.cpu_seconds;
  std::printf("  %-6s one after the other wall %6.3f s, cpu %6.3f s | at once wall %6.3f s, cpu %6.3f s"
              " | speed-up %.2f (2 = perfect), cpu at once / alone %.2f\n",
              what, wall_alone, cpu_alone, both.wall_seconds, both.cpu_seconds,
              wall_alone / both.wall_seconds, both.cpu_seconds / cpu_alone);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
    return skyloam::bench::read_in_this_process(argv[2]);
  }
  if (argc == 4 && std::strcmp(argv[1], "--read-two") == 0) {
    return skyloam::bench::read_two_in_this_process(argv[2], argv[3]);
  }
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
  const std::string self = skyloam::bench::this_program();
  std::printf("rinex_read_bench: files of at least %zu MB in %s, best of %d runs\n", megabytes,
              folder.c_str(), runs);
  const std::size_t bytes = megabytes * 1000000;
  try {
    const LargeFile rinex3 = skyloam::bench::make_large_file(
        testdata + "/rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", Grammar::Rinex3, folder,
        "LARGE00DNK_R_20201770000_07D_30S_MO.rnx", bytes);
    const FileReport three = report("RINEX 3", rinex3, self, runs);
    const LargeFile rinex2 = skyloam::bench::make_large_file(
        testdata + "/rinex2/ZIMM2350.15O", Grammar::Rinex2, folder, "LARG2350.15o", bytes);
    const FileReport two = report("RINEX 2", rinex2, self, runs);
    std::printf("\nTwo threads of one process, reading the RINEX 3 and the RINEX 2 file at once:\n");
    report_two_threads("plain", self, rinex3.plain_path, three.plain, rinex2.plain_path, two.plain, runs);
    report_two_threads("gzip", self, rinex3.gzip_path, three.zipped, rinex2.gzip_path, two.zipped, runs);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    if (!keep) std::filesystem::remove_all(folder);
    return 1;
  }
  const ChildRun empty = skyloam::bench::run_child({self, "--read", "/dev/null"}, true);
  long baseline_kb = 0;
  std::sscanf(empty.output.c_str(), "%*u %*u %*f %ld", &baseline_kb);
  std::printf("\nbaseline peak memory of a reading process (empty input): %.1f MB\n",
              static_cast<double>(baseline_kb) / 1e3);
  std::printf("targets: plain RINEX 3 >= 1000 MB/s and RINEX 2 >= 700 MB/s on one core (cpu); "
              "gzip read <= 0.5 x zcat; <= 24 bytes/observation\n");
  if (!keep) std::filesystem::remove_all(folder);
  return 0;
}
