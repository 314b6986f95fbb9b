#include "read_runs.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "rinex/obs_reader/obs_file.hpp"

namespace skyloam::bench {
namespace {

long peak_resident_kilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Keeps the better wall and CPU times of two runs.
void keep_best(ChildRun& best, const ChildRun& run) {
  best.wall_seconds = std::min(best.wall_seconds, run.wall_seconds);
  best.cpu_seconds = std::min(best.cpu_seconds, run.cpu_seconds);
}

ChildRun never_run() {
  ChildRun run;
  run.wall_seconds = run.cpu_seconds = 1e300;
  return run;
}

}  // namespace

int read_in_this_process(const char* path) {
  const auto start = std::chrono::steady_clock::now();
  const auto data = read_obs_file(path);
  const double seconds = seconds_since(start);
  if (!data) {
    std::fprintf(stderr, "%s\n", data.error().display().c_str());
    return 1;
  }
  std::printf("%zu %zu %.6f %ld\n", data->observation_count(), data->epochs().size(), seconds,
              peak_resident_kilobytes());
  return 0;
}

int read_two_in_this_process(const char* first, const char* second) {
  bool ok[2] = {false, false};
  const auto start = std::chrono::steady_clock::now();
  std::thread other([&] { ok[1] = read_obs_file(second).has_value(); });
  ok[0] = read_obs_file(first).has_value();
  other.join();
  const double seconds = seconds_since(start);
  if (!ok[0] || !ok[1]) return 1;
  std::printf("%.6f\n", seconds);
  return 0;
}

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

ChildRun best_read_two(const std::string& self, const std::string& first,
                       const std::string& second, int runs) {
  ChildRun best = never_run();
  for (int i = 0; i < runs; ++i) {
    ChildRun run = run_child({self, "--read-two", first, second}, true);
    if (!run.ok || std::sscanf(run.output.c_str(), "%lf", &run.wall_seconds) != 1) {
      std::fprintf(stderr, "reading %s and %s failed\n", first.c_str(), second.c_str());
      std::exit(1);
    }
    keep_best(best, run);
  }
  return best;
}

ChildRun best_zcat(const std::string& path, int runs) {
  ChildRun best = never_run();
  for (int i = 0; i < runs; ++i) keep_best(best, run_child({"zcat", path}, false));
  return best;
}

std::string this_program() { return std::filesystem::canonical("/proc/self/exe").string(); }

}  // namespace skyloam::bench
