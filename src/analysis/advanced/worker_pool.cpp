#include "analysis/advanced/worker_pool.hpp"

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/info.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/task_arena.h>

#include <algorithm>
#include <limits>

namespace skyloam {

void for_each_index(std::size_t count, const std::function<void(std::size_t)>& body) {
  if (count == 0) return;
  if (count == 1) {
    body(0);
    return;
  }
  // Isolation keeps a waiting thread on the tasks of this loop: it stays
  // busy, and it cannot pick up an unrelated outer task (another satellite)
  // and pile its memory on top of the one it is waiting in.
  oneapi::tbb::this_task_arena::isolate([&] {
    oneapi::tbb::parallel_for(std::size_t{0}, count, [&](std::size_t i) { body(i); });
  });
}

void for_each_chunk(std::size_t count, const std::function<void(std::size_t, std::size_t)>& body) {
  if (count == 0) return;
  oneapi::tbb::this_task_arena::isolate([&] {
    oneapi::tbb::parallel_for(oneapi::tbb::blocked_range<std::size_t>(0, count),
                              [&](const oneapi::tbb::blocked_range<std::size_t>& range) {
                                body(range.begin(), range.end());
                              });
  });
}

void with_worker_limit(std::size_t workers, const std::function<void()>& work) {
  const int limit = static_cast<int>(
      std::clamp<std::size_t>(workers, 1, static_cast<std::size_t>(std::numeric_limits<int>::max())));
  oneapi::tbb::task_arena arena(limit);
  arena.execute([&] { work(); });
}

std::size_t pool_concurrency() {
  return static_cast<std::size_t>(std::max(1, oneapi::tbb::info::default_concurrency()));
}

}  // namespace skyloam
