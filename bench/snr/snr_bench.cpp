// SNR spectral analysis benchmark. Prints figures; asserts nothing.
//
//   snr_bench [--repeats N] [--sizes 1000,20000] [--satellites 40]
//             [--obs FILE] [--python PATH] [--no-numpy] [--no-analysis]
//
// 1. The Morlet power transform (dt = 1 s, dj = 0.125) of series of the given
//    sizes, on the process-wide pool and on one worker, and the same
//    transform written with NumPy, run as a separate process (numpy_cwt.py).
//    Times are the best of N runs.
// 2. analyze_snr_wavelets over a synthetic day at 1 Hz and over a real daily
//    file (--obs FILE, by default the ESBC day of the shared test data): wall
//    time on the pool and on one worker, and the peak resident memory the
//    analysis adds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "analysis/advanced/morlet_cwt.hpp"
#include "analysis/advanced/snr_wavelet_analysis.hpp"
#include "analysis/advanced/worker_pool.hpp"
#include "rinex/obs_reader/obs_file.hpp"
#include "synthetic_day.hpp"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  int repeats = 5;
  std::vector<std::size_t> sizes{1000, 20000};
  std::size_t satellites = 40;
  std::string obs_file = SKYLOAM_BENCH_DEFAULT_OBS;
  std::string python = SKYLOAM_NUMPY_PYTHON;
  bool numpy = true;
  bool analysis = true;
};

[[noreturn]] void usage(int code) {
  std::puts(
      "snr_bench [--repeats N] [--sizes 1000,20000] [--satellites 40] [--obs FILE]\n"
      "          [--python PATH] [--no-numpy] [--no-analysis]");
  std::exit(code);
}

std::vector<std::size_t> parse_sizes(const std::string& text) {
  std::vector<std::size_t> sizes;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(std::stoul(item));
  return sizes;
}

Options parse_options(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage(2);
      return argv[++i];
    };
    if (arg == "--repeats") options.repeats = std::max(1, std::stoi(value()));
    else if (arg == "--sizes") options.sizes = parse_sizes(value());
    else if (arg == "--satellites") options.satellites = std::stoul(value());
    else if (arg == "--obs") options.obs_file = value();
    else if (arg == "--python") options.python = value();
    else if (arg == "--no-numpy") options.numpy = false;
    else if (arg == "--no-analysis") options.analysis = false;
    else usage(arg == "--help" ? 0 : 2);
  }
  return options;
}

double milliseconds_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process (all threads), milliseconds.
double process_cpu_ms() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct Timing {
  double wall_ms = 1e300;  // best of the runs
  double cpu_ms = 1e300;   // best of the runs, all threads
};

Timing best_of(int repeats, const std::function<void()>& run) {
  Timing best;
  for (int r = 0; r < repeats; ++r) {
    const Clock::time_point start = Clock::now();
    const double start_cpu = process_cpu_ms();
    run();
    best.wall_ms = std::min(best.wall_ms, milliseconds_since(start));
    best.cpu_ms = std::min(best.cpu_ms, process_cpu_ms() - start_cpu);
  }
  return best;
}

template <class F>
auto single_worker(F measure) {
  decltype(measure()) result{};
  skyloam::with_worker_limit(1, [&] { result = measure(); });
  return result;
}

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

std::vector<double> test_series(std::size_t n) {
  std::vector<double> y(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i);
    y[i] = 45.0 + 3.0 * std::sin(t / 40.0) + 0.5 * std::sin(t / 6.0) + 4.0 * std::cos(t / 700.0);
  }
  return y;
}

// NumPy best times by series length, from one run of numpy_cwt.py.
std::map<std::size_t, Timing> numpy_times(const Options& options) {
  std::map<std::size_t, Timing> times;
  if (!options.numpy || options.python.empty()) return times;
  // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on a chain of +.
  std::string command = options.python;
  command.append(" ").append(SKYLOAM_NUMPY_SCRIPT).append(" ").append(std::to_string(options.repeats));
  for (const std::size_t n : options.sizes) command.append(" ").append(std::to_string(n));
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return times;
  char line[256];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::size_t n = 0, scales = 0;
    Timing timing;
    if (std::sscanf(line, "numpy n=%zu scales=%zu best_ms=%lf best_cpu_ms=%lf", &n, &scales,
                    &timing.wall_ms, &timing.cpu_ms) == 4) {
      times[n] = timing;
    }
  }
  pclose(pipe);
  return times;
}

void run_transform_figures(const Options& options) {
  std::printf("\nMorlet power transform (dt = 1 s, dj = 0.125, s0 = 2 s), best of %d runs;\n"
              "wall-clock ms, CPU ms in brackets (all threads of the process)\n",
              options.repeats);
  const std::map<std::size_t, Timing> numpy = numpy_times(options);
  if (options.numpy && numpy.empty()) {
    std::printf("  (NumPy figures unavailable: no interpreter with NumPy; try --python)\n");
  }
  std::printf("  %7s %6s %19s %19s %8s %19s %9s %9s\n", "samples", "scales", "one worker",
              "pool", "speed-up", "NumPy", "NumPy/one", "NumPy/pool");
  for (const std::size_t n : options.sizes) {
    const std::vector<double> y = test_series(n);
    std::size_t scales = 0;
    const auto transform = [&] { scales = skyloam::cwt_power(y, 1.0, 0.125)->scales.size(); };
    const Timing one = single_worker([&] { return best_of(options.repeats, transform); });
    const Timing pool = best_of(options.repeats, transform);
    std::printf("  %7zu %6zu %9.2f [%7.2f] %9.2f [%7.2f] %7.2fx", n, scales, one.wall_ms,
                one.cpu_ms, pool.wall_ms, pool.cpu_ms, one.wall_ms / pool.wall_ms);
    if (const auto it = numpy.find(n); it != numpy.end()) {
      const Timing& np = it->second;
      std::printf(" %9.2f [%7.2f] %8.2fx %9.2fx\n", np.wall_ms, np.cpu_ms, np.wall_ms / one.wall_ms,
                  np.wall_ms / pool.wall_ms);
    } else {
      std::printf(" %19s\n", "-");
    }
  }
}

// Resident memory in KiB from /proc/self/status ("VmRSS", "VmHWM").
long status_kib(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field) + 1);
  }
  return -1;
}

// Resets the peak-resident figure to the current one (Linux >= 4.0).
bool reset_peak_memory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

void run_analysis_figures(const skyloam::ObsData& obs, const char* what, Clock::time_point start) {
  std::printf("\nanalyze_snr_wavelets on %s\n", what);
  std::printf("  data set: %zu observations, made in %.2f s, %.0f MiB resident\n",
              obs.observation_count(), milliseconds_since(start) / 1e3,
              static_cast<double>(status_kib("VmRSS:")) / 1024.0);

  const auto analyse = [&] {
    const long before = status_kib("VmRSS:");
    const bool peak_known = reset_peak_memory();
    skyloam::Result<skyloam::SnrWaveletAnalysis> result = skyloam::SnrWaveletAnalysis{};
    const Timing timing = best_of(1, [&] { result = skyloam::analyze_snr_wavelets(obs); });
    std::size_t with_power = 0;
    for (const auto& satellite : result->satellites) with_power += satellite.has_band_power();
    std::printf("%.2f s [CPU %.2f s], %zu satellites (%zu with band power)", timing.wall_ms / 1e3,
                timing.cpu_ms / 1e3, result->satellites.size(), with_power);
    if (peak_known) {
      std::printf(", peak memory +%.1f MiB over the data set\n",
                  static_cast<double>(status_kib("VmHWM:") - before) / 1024.0);
    } else {
      std::printf("\n");
    }
    return timing.wall_ms;
  };
  std::printf("  pool (%zu threads): ", skyloam::pool_concurrency());
  const double pool = analyse();
  std::printf("  one worker:         ");
  const double one = single_worker(analyse);
  std::printf("  speed-up %.2fx\n", one / pool);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse_options(argc, argv);
  std::printf("SNR spectral analysis benchmark: %zu logical processors in the pool; "
              "load average %s\n",
              skyloam::pool_concurrency(), load_average().c_str());
  run_transform_figures(options);
  if (options.analysis) {
    Clock::time_point start = Clock::now();
    const skyloam::ObsData day = skyloam::bench::synthetic_day(options.satellites);
    const std::string what = "a synthetic day: " + std::to_string(day.epochs().size()) +
                             " epochs at 1 Hz, " + std::to_string(options.satellites) +
                             " GPS satellites (C1C L1C S1C S2W)";
    run_analysis_figures(day, what.c_str(), start);
    start = Clock::now();
    const skyloam::Result<skyloam::ObsData> file = skyloam::read_obs_file(options.obs_file);
    if (file) {
      run_analysis_figures(*file, options.obs_file.c_str(), start);
    } else {
      std::printf("\nanalyze_snr_wavelets on %s: %s\n", options.obs_file.c_str(),
                  file.error().display().c_str());
    }
  }
  std::printf("\nload average at the end: %s (figures from a busy machine understate the "
              "pool's speed-up)\n",
              load_average().c_str());
  return 0;
}
