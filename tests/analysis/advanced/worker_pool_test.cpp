#include "analysis/advanced/worker_pool.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace skyloam {
namespace {

TEST(WorkerPool, NestedLoopsCompleteWithEveryResultInItsSlot) {
  constexpr std::size_t kOuter = 24, kInner = 50;
  std::vector<std::vector<std::size_t>> results(kOuter);
  for_each_index(kOuter, [&](std::size_t i) {
    std::vector<std::size_t> row(kInner);
    for_each_index(kInner, [&](std::size_t j) { row[j] = i * 1000 + j; });
    results[i] = std::move(row);
  });
  for (std::size_t i = 0; i < kOuter; ++i) {
    for (std::size_t j = 0; j < kInner; ++j) ASSERT_EQ(results[i][j], i * 1000 + j);
  }
}

TEST(WorkerPool, EmptyLoopRunsNothing) {
  bool called = false;
  for_each_index(0, [&](std::size_t) { called = true; });
  EXPECT_FALSE(called);
}

TEST(WorkerPool, OneWorkerRunsEverythingOnTheCallingThread) {
  const std::thread::id caller = std::this_thread::get_id();
  std::mutex guard;
  std::set<std::thread::id> threads;
  with_worker_limit(1, [&] {
    for_each_index(8, [&](std::size_t) {
      for_each_index(8, [&](std::size_t) {
        const std::lock_guard lock(guard);
        threads.insert(std::this_thread::get_id());
      });
    });
  });
  EXPECT_EQ(threads, std::set<std::thread::id>{caller});
}

TEST(WorkerPool, ExceptionsReachTheCaller) {
  std::atomic<int> ran{0};
  EXPECT_THROW(for_each_index(16,
                              [&](std::size_t i) {
                                ++ran;
                                if (i == 3) throw std::logic_error("broken");
                              }),
               std::logic_error);
  EXPECT_GE(ran.load(), 1);
  EXPECT_GE(pool_concurrency(), 1u);
}

}  // namespace
}  // namespace skyloam
