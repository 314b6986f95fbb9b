// Columns of a 1 Hz station day's multipath estimates (about ten million):
// the time estimate_columns takes against copying the estimates once, and
// how much of it is the first touch of fresh memory.
//
//   columns_bench [--hours=24] [--runs=5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "analysis/multipath/multipath_analysis.hpp"
#include "analysis/multipath/result_columns.hpp"
#include "synthetic_observations.hpp"

namespace skyloam::bench {
namespace {

using Clock = std::chrono::steady_clock;

double milliseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Best and median of `runs` timings of `work`.
template <class Work>
std::pair<double, double> timed(int runs, Work&& work) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    work();
    times.push_back(milliseconds_since(start));
  }
  std::sort(times.begin(), times.end());
  return {times.front(), times[times.size() / 2]};
}

double option(int argc, char** argv, std::string_view name, double fallback) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') {
      return std::strtod(argv[i] + name.size() + 1, nullptr);
    }
  }
  return fallback;
}

std::size_t column_bytes(std::size_t estimates) {
  return estimates * (5 * sizeof(double) + 3 * sizeof(std::int32_t) + sizeof(std::int64_t));
}

void print(const char* what, std::pair<double, double> ms, std::size_t count,
           const char* unit = "estimate") {
  std::printf("%-44s best %7.1f ms  median %7.1f ms  %5.1f ns/%s\n", what, ms.first, ms.second,
              ms.first * 1e6 / static_cast<double>(count), unit);
}

long resident_megabytes() {
  long pages = 0;
  long resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * ::sysconf(_SC_PAGESIZE) >> 20;
}

// One analysis in a child process, so that its peak memory is its own and
// not the peak of making the synthetic data.
void print_analysis_peak(const ObsData& data) {
  std::fflush(stdout);
  const pid_t child = ::fork();
  if (child == 0) {
    const long before = resident_megabytes();
    const AnalysisOutput output = analyze(data, AnalyzerConfig{});
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("analyze() peak memory: %ld MB resident before, max RSS %ld MB (+%ld MB)\n",
                before, usage.ru_maxrss >> 10, (usage.ru_maxrss >> 10) - before);
    std::fflush(stdout);
    ::_exit(output.statistics.empty() ? 1 : 0);
  }
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
}

}  // namespace
}  // namespace skyloam::bench

int main(int argc, char** argv) {
  using namespace skyloam;
  using namespace skyloam::bench;
  SyntheticShape shape;
  shape.hours = option(argc, argv, "--hours", 24.0);
  const int runs = std::max(1, static_cast<int>(option(argc, argv, "--runs", 5.0)));

  const ObsData data = synthetic_observations(shape);
  print_analysis_peak(data);
  print("analyze() of the synthetic day", timed(runs, [&] {
          const AnalysisOutput output = analyze(data, AnalyzerConfig{});
          if (output.statistics.empty()) std::abort();
        }), data.observation_count(), "observation");
  const AnalysisOutput output = analyze(data, AnalyzerConfig{});
  const std::size_t n = output.estimates.size();
  std::printf("synthetic %.1f h at %.0f s: %zu estimates (%zu MB), columns %zu MB\n", shape.hours,
              shape.interval_seconds, n, n * sizeof(MpEstimate) >> 20, column_bytes(n) >> 20);

  print("estimate_columns", timed(runs, [&] {
          const EstimateColumns columns = estimate_columns(output.estimates);
          if (columns.time.size() != n) std::abort();
        }), n);
  print("copy of the estimates into fresh memory", timed(runs, [&] {
          MemoryBlock copy(n * sizeof(MpEstimate));
          std::memcpy(copy.data(), output.estimates.data(), n * sizeof(MpEstimate));
        }), n);
  print("first touch of fresh memory of column size", timed(runs, [&] {
          MemoryBlock block(column_bytes(n));
          std::memset(block.data(), 0, column_bytes(n));
        }), n);
  const std::size_t slips = output.cycle_slips.size();
  print("slip_columns (per slip)", timed(runs, [&] {
          const SlipColumns columns = slip_columns(output.cycle_slips);
          if (columns.time.size() != slips) std::abort();
        }), std::max<std::size_t>(slips, 1));
  return 0;
}
