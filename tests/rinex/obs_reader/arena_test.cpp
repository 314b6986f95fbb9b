#include "rinex/obs_reader/arena.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace skyloam {
namespace {

struct Wide {
  double value;
  std::uint64_t tag;
};

TEST(Arena, RunsNeverMoveNorOverlapAcrossGrowingBlocks) {
  Arena<Wide> arena;
  std::vector<std::pair<Wide*, std::size_t>> runs;
  // Enough values to reach blocks of several huge pages, in runs of odd sizes.
  std::uint64_t tag = 0;
  for (std::size_t i = 0; i < 4000; ++i) {
    const std::size_t count = 1 + (i * 37) % 300;
    Wide* run = arena.allocate(count);
    ASSERT_NE(run, nullptr);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(run) % alignof(Wide), 0u);
    for (std::size_t k = 0; k < count; ++k, ++tag) run[k] = {static_cast<double>(tag), tag};
    runs.emplace_back(run, count);
  }
  EXPECT_EQ(arena.allocate(0), nullptr);
  tag = 0;
  for (const auto& [run, count] : runs) {
    for (std::size_t k = 0; k < count; ++k, ++tag) ASSERT_EQ(run[k].tag, tag);
  }
  // A run larger than any block gets a block of its own.
  Wide* huge = arena.allocate(std::size_t{1} << 20);
  huge[(std::size_t{1} << 20) - 1] = {1.0, 7};
  EXPECT_EQ(huge[(std::size_t{1} << 20) - 1].tag, 7u);
  EXPECT_EQ(runs.front().first->tag, 0u);
}

}  // namespace
}  // namespace skyloam
