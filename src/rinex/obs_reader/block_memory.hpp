// MemoryBlock: an owned, uninitialised, suitably aligned block of bytes.
//
// A block of at least kHugePageBytes is mapped on its own, aligned to a huge
// page and offered to the kernel for transparent huge pages (on Linux; other
// systems get ordinary memory). Smaller blocks come from the heap.
#pragma once

#include <cstddef>

namespace skyloam {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

class MemoryBlock {
 public:
  // Throws std::bad_alloc when the memory cannot be had.
  explicit MemoryBlock(std::size_t bytes);
  MemoryBlock(MemoryBlock&& other) noexcept;
  MemoryBlock& operator=(MemoryBlock&& other) noexcept;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  ~MemoryBlock();

  void* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  void release() noexcept;

  void* data_ = nullptr;
  std::size_t size_ = 0;
  bool mapped_ = false;
};

}  // namespace skyloam
