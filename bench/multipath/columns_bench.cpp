// The estimates of a 1 Hz station day (about ten million) as columns:
// analyze() and its peak memory, what the core does for columns() (share
// the store's nine columns) and for the object list (one row per
// estimate).
//
//   columns_bench [--hours=24] [--runs=5]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "analysis/multipath/multipath_analysis.hpp"
#include "analysis/multipath/result_columns.hpp"
#include "utils/memory/column.hpp"
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

constexpr std::size_t kBytesPerEstimate = 5 * sizeof(double) + 3 * sizeof(std::int32_t) +
                                          sizeof(std::int64_t);

// What columns() holds on to: one shared storage per column.
std::vector<std::shared_ptr<const MemoryBlock>> shared_columns(const EstimateStore& s) {
  return {s.time().share(),      s.time_ms().share(),   s.mp().share(),
          s.elevation().share(), s.azimuth().share(),   s.snr().share(),
          s.satellite().share(), s.signal().share(),    s.arc().share()};
}

void print(const char* what, std::pair<double, double> ms, std::size_t count,
           const char* unit = "estimate") {
  std::printf("%-44s best %9.3f ms  median %9.3f ms  %5.1f ns/%s\n", what, ms.first, ms.second,
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
  const EstimateStore& store = output.estimates;
  const std::size_t n = store.size();
  std::printf("synthetic %.1f h at %.0f s: %zu estimates, columns %zu MB\n", shape.hours,
              shape.interval_seconds, n, n * kBytesPerEstimate >> 20);

  print("sharing the columns (columns() in the core)", timed(runs, [&] {
          if (shared_columns(store).size() != 9) std::abort();
        }), n);
  print("one row per estimate (the object list's core)", timed(runs, [&] {
          double sum = 0.0;
          for (std::size_t i = 0; i < n; ++i) sum += store.row(i).mp_value;
          if (std::isnan(sum)) std::abort();
        }), n);
  const std::size_t slips = output.cycle_slips.size();
  print("slip_columns (per slip)", timed(runs, [&] {
          const SlipColumns columns = slip_columns(output.cycle_slips);
          if (columns.time.size() != slips) std::abort();
        }), std::max<std::size_t>(slips, 1));
  return 0;
}
