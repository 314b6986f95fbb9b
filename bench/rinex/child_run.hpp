// Runs a program in a child process and measures it from outside: wall
// time, CPU time (user + system) and peak resident memory.
#pragma once

#include <string>
#include <vector>

namespace skyloam::bench {

struct ChildRun {
  bool ok = false;         // exited with status 0
  double wall_seconds = 0;
  double cpu_seconds = 0;
  long peak_rss_bytes = 0;
  std::string output;      // standard output, when captured
};

// argv[0] is the program's path. Standard output goes to the result when
// `capture` is set, else to /dev/null.
ChildRun run_child(const std::vector<std::string>& argv, bool capture);

}  // namespace skyloam::bench
