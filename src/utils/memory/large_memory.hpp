// Memory for large buffers: the observation arena's blocks and result
// columns.
//
// An allocation of at least kHugePageBytes is mapped on its own, aligned to a
// huge page and offered to the kernel for transparent huge pages (on Linux;
// elsewhere it comes from the heap like any smaller allocation). First
// touching hundreds of megabytes of 4 KiB pages costs a page fault each, which
// on virtual machines dominated reading and analysing a large file.
#pragma once

#include <cstddef>

namespace skyloam {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Uninitialised bytes aligned for any fundamental type; throws
// std::bad_alloc when the memory cannot be had.
void* allocate_large(std::size_t bytes);
// Gives back what allocate_large(bytes) returned, with the same `bytes`.
void release_large(void* data, std::size_t bytes) noexcept;
// Whether this build maps large allocations for huge pages (not on other
// systems, nor under AddressSanitizer, whose checks need heap blocks).
bool large_allocations_use_huge_pages();

// One owned, uninitialised block of allocate_large memory.
class MemoryBlock {
 public:
  explicit MemoryBlock(std::size_t bytes) : data_(allocate_large(bytes)), size_(bytes) {}
  MemoryBlock(MemoryBlock&& other) noexcept;
  MemoryBlock& operator=(MemoryBlock&& other) noexcept;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  ~MemoryBlock() { release_large(data_, size_); }

  void* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  void* data_;
  std::size_t size_;
};

}  // namespace skyloam
