// Timing of benchmark runs: wall-clock time and the thread's processor time.
// On a machine shared with other work the processor time is the figure of
// one core; the wall time shows what a user waits.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace skyloam::bench {

struct RunTime {
  double wall = 0.0;  // seconds
  double cpu = 0.0;   // seconds of this thread

  std::string text() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f ms (%.1f ms on the core)", wall * 1e3, cpu * 1e3);
    return buffer;
  }
};

inline double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The best wall and processor times of `runs` runs of `work`.
template <class Work>
RunTime best_of(int runs, Work&& work) {
  RunTime best{1e30, 1e30};
  for (int i = 0; i < runs; ++i) {
    const auto wall_start = std::chrono::steady_clock::now();
    const double cpu_start = thread_seconds();
    work();
    best.cpu = std::min(best.cpu, thread_seconds() - cpu_start);
    best.wall = std::min(
        best.wall,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count());
  }
  return best;
}

}  // namespace skyloam::bench
