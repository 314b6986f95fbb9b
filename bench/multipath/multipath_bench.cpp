// Throughput of the multipath analysis in observations per second.
//
//   multipath_bench [--hours=24] [benchmark flags]
//
// The synthetic day is built once; `run_analysis` takes any ObsData, so a
// data set read from a real RINEX file can be registered the same way.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/multipath/analysed_epochs.hpp"
#include "analysis/multipath/multipath_analysis.hpp"
#include "analysis/multipath/slip_detector.hpp"
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

double hours_argument(int& argc, char** argv) {
  double hours = 24.0;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--hours=", 8) == 0) {
      hours = std::strtod(argv[i] + 8, nullptr);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return hours;
}

}  // namespace
}  // namespace skyloam::bench

int main(int argc, char** argv) {
  using namespace skyloam::bench;
  SyntheticShape shape;
  shape.hours = hours_argument(argc, argv);
  benchmark::Initialize(&argc, argv);
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
