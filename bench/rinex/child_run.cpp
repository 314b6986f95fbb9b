#include "child_run.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace skyloam::bench {

ChildRun run_child(const std::vector<std::string>& argv, bool capture) {
  ChildRun run;
  int pipe_ends[2] = {-1, -1};
  if (capture && ::pipe(pipe_ends) != 0) return run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) return run;
  if (child == 0) {
    const int out = capture ? pipe_ends[1] : ::open("/dev/null", O_WRONLY);
    ::dup2(out, STDOUT_FILENO);
    if (capture) ::close(pipe_ends[0]);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  if (capture) {
    ::close(pipe_ends[1]);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
      run.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe_ends[0]);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  run.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  run.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peak_rss_bytes = usage.ru_maxrss * 1024L;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace skyloam::bench
