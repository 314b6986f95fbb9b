#include "utils/memory/column.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

namespace skyloam {
namespace {

template <class T>
const T* values_of(const std::shared_ptr<const MemoryBlock>& storage) {
  return static_cast<const T*>(storage->data());
}

TEST(Column, GrowsAcrossTheHugePageThresholdKeepingItsValues) {
  Column<std::uint64_t> column;
  const std::size_t steps = 3 * kHugePageBytes / sizeof(std::uint64_t) / 1000 + 2;
  for (std::size_t step = 0; step < steps; ++step) {
    const auto added = column.extend(1000);
    std::iota(added.begin(), added.end(), step * 1000);
  }
  ASSERT_EQ(column.size(), steps * 1000);
  for (std::size_t i = 0; i < column.size(); i += 4099) ASSERT_EQ(column[i], i);

  Column<std::uint64_t> reserved;
  reserved.reserve(5000);
  const std::uint64_t* const held = reserved.data();
  reserved.extend(2000);
  reserved.extend(3000);
  EXPECT_EQ(reserved.data(), held);  // no move within the reserved room
}

TEST(Column, WritesAfterSharingGoToACopyAndTheSharedValuesStay) {
  Column<double> column;
  std::ranges::fill(column.extend(3), 1.5);
  const double* const own = column.data();
  EXPECT_EQ(column.writable().data(), own);  // nobody shares: written in place

  const auto shared = column.share();
  EXPECT_EQ(values_of<double>(shared), own);  // a view, not a copy
  EXPECT_EQ(column.share(), shared);
  column.writable()[1] = 7.0;
  EXPECT_NE(column.data(), own);
  EXPECT_EQ(values_of<double>(shared)[1], 1.5);
  EXPECT_EQ(column[1], 7.0);

  Column<double> copy = column;  // copies share too
  EXPECT_EQ(copy.data(), column.data());
  copy.writable()[0] = 2.0;
  EXPECT_EQ(column[0], 1.5);
  EXPECT_EQ(copy[1], 7.0);
}

TEST(Column, AnEmptyColumnSharesUsableStorage) {
  const Column<std::int32_t> empty;
  EXPECT_TRUE(empty.values().empty());
  EXPECT_NE(empty.share()->data(), nullptr);
}

}  // namespace
}  // namespace skyloam
