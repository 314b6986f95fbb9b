#include "utils/memory/large_memory.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace skyloam {
namespace {

TEST(LargeMemory, BlocksAreHugePageAlignedAndOwnershipMoves) {
  MemoryBlock large(kHugePageBytes + 1);
  EXPECT_GE(large.size(), kHugePageBytes + 1);
  if (large_allocations_use_huge_pages()) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.data()) % kHugePageBytes, 0u);
  }
  std::memset(large.data(), 0xAB, large.size());

  MemoryBlock small(100);
  ASSERT_NE(small.data(), nullptr);
  std::memset(small.data(), 1, 100);

  void* const held = large.data();
  MemoryBlock moved(std::move(large));
  EXPECT_EQ(moved.data(), held);
  EXPECT_EQ(large.data(), nullptr);
  small = std::move(moved);  // frees the small block, takes the large one
  EXPECT_EQ(small.data(), held);
  EXPECT_EQ(static_cast<unsigned char*>(small.data())[kHugePageBytes], 0xAB);
}

}  // namespace
}  // namespace skyloam
