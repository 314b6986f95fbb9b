// Reading observation files in fresh child processes, for the benchmarks.
//
// A benchmark program answers `--read PATH` (and `--read-two A B`) by
// calling read_in_this_process (read_two_in_this_process), which print their
// figures on standard output; the parent starts itself that way and keeps
// the best of several runs. Each child starts with a clean heap, so page
// faults and peak memory are those of one read.
#pragma once

#include <string>

#include "child_run.hpp"

namespace skyloam::bench {

struct ReadFigures {
  std::size_t observations = 0;
  std::size_t epochs = 0;
  double seconds = 1e300;      // best wall time, timed inside the child
  double cpu_seconds = 1e300;  // best CPU time (user + system) of the child
  double peak_bytes = 0;       // peak resident memory of the last run
};

// Child side. Reads `path`; prints "observations epochs seconds peak_kb".
int read_in_this_process(const char* path);
// Child side. Reads both files at once on two threads; prints "seconds".
int read_two_in_this_process(const char* first, const char* second);

// Parent side: the best of `runs` reads of `path` by `self --read`.
ReadFigures best_read(const std::string& self, const std::string& path, int runs);
// The best wall and CPU time of `self --read-two first second`.
ChildRun best_read_two(const std::string& self, const std::string& first,
                       const std::string& second, int runs);
// The best wall and CPU time of `zcat path > /dev/null`.
ChildRun best_zcat(const std::string& path, int runs);

// The path of the running program.
std::string this_program();

}  // namespace skyloam::bench
