// Arena<T>: a bump allocator of trivially copyable values in blocks that
// never move, so pointers into it stay valid for the arena's lifetime.
//
// Blocks start small and double up to about kMaxBlockBytes: a small file
// costs little memory, a large one few allocations. Blocks of a huge page or
// more are backed by transparent huge pages where the system offers them
// (utils/memory/large_memory.hpp): first touching a day of observations
// otherwise costs one page fault per 4 KiB.
#pragma once

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "utils/memory/large_memory.hpp"

namespace skyloam {

template <class T>
class Arena {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  T* allocate(std::size_t count) {
    if (count == 0) return nullptr;
    if (count > free_) {
      const std::size_t block = std::max(count, next_block_);
      next_block_ = std::min(next_block_ * 2, kMaxBlock);
      blocks_.emplace_back(block * sizeof(T));
      next_ = static_cast<T*>(blocks_.back().data());
      free_ = block;
    }
    T* out = next_;
    next_ += count;
    free_ -= count;
    return out;
  }

 private:
  static constexpr std::size_t kMaxBlockBytes = std::size_t{4} << 20;
  static constexpr std::size_t kMaxBlock = kMaxBlockBytes / sizeof(T);

  std::vector<MemoryBlock> blocks_;
  std::size_t next_block_ = 256;
  T* next_ = nullptr;
  std::size_t free_ = 0;
};

}  // namespace skyloam
