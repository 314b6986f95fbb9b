// Throughput of the multipath analysis in observations per second.
//
//   multipath_bench [--hours=24] [--large-megabytes=230] [benchmark flags]
//
// First the real files: a daily multi-GNSS file of the shared test data and
// a large file made from it, each read and analysed (ratio of analysis to
// reading time); then the synthetic day through Google Benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/multipath_analysis.hpp"
#include "analysis/multipath/slip_detector.hpp"
#include "real_files.hpp"
#include "synthetic_observations.hpp"

namespace skyloam::bench {
namespace {

void report(benchmark::State& state, const ObsData& data) {
  state.counters["observations"] = static_cast<double>(data.observation_count());
  state.counters["obs_per_second"] = benchmark::Counter(
      static_cast<double>(data.observation_count()), benchmark::Counter::kIsIterationInvariantRate);
}

void run_analysis(benchmark::State& state, const ObsData& data) {
  const AnalyzerConfig config;
  std::size_t estimates = 0;
  std::size_t slips = 0;
  for (auto _ : state) {
    const AnalysisOutput out = analyze(data, config);
    estimates = out.estimates.size();
    slips = out.cycle_slips.size();
    benchmark::DoNotOptimize(out.statistics.data());
  }
  report(state, data);
  state.counters["estimates"] = static_cast<double>(estimates);
  state.counters["cycle_slips"] = static_cast<double>(slips);
}

void run_slip_detection(benchmark::State& state, const ObsData& data) {
  const AnalyzerConfig config;
  for (auto _ : state) {
    const auto epochs = thin_epochs(data, config.max_epochs);
    const SlipDetection slips = detect_slips(epochs, data, config);
    benchmark::DoNotOptimize(slips.records.data());
  }
  report(state, data);
}

// Removes "--<name>=<value>" from the arguments and returns its value.
double take_option(int& argc, char** argv, const char* name, double fallback) {
  const std::size_t length = std::strlen(name);
  double value = fallback;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
      value = std::strtod(argv[i] + length + 1, nullptr);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return value;
}

}  // namespace
}  // namespace skyloam::bench

int main(int argc, char** argv) {
  using namespace skyloam::bench;
  SyntheticShape shape;
  shape.hours = take_option(argc, argv, "--hours", 24.0);
  const double large_megabytes = take_option(argc, argv, "--large-megabytes", 230.0);
  benchmark::Initialize(&argc, argv);
  const std::string testdata = SKYLOAM_BENCH_TESTDATA_DIR;
  if (std::filesystem::is_directory(testdata)) {
    report_real_file("ESBC daily (gzip)",
                     testdata + "/rinex3/ESBC00DNK_R_20201770000_01D_30S_MO.rnx.gz", 3);
    report_real_file("ZIMM daily (RINEX 2)", testdata + "/rinex2/ZIMM2350.15O", 3);
    if (large_megabytes > 0) report_large_file(testdata, std::size_t(large_megabytes), 2);
  } else {
    std::printf("shared test data not found at %s: real files skipped\n", testdata.c_str());
  }
  const skyloam::ObsData data = synthetic_observations(shape);
  std::printf("synthetic data set: %.1f h at %.0f s, %zu epochs, %zu observations\n", shape.hours,
              shape.interval_seconds, data.epochs().size(), data.observation_count());
  benchmark::RegisterBenchmark("analyze/synthetic_day",
                               [&](benchmark::State& s) { run_analysis(s, data); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("detect_slips/synthetic_day",
                               [&](benchmark::State& s) { run_slip_detection(s, data); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
