#include "rinex/obs_reader/block_memory.hpp"

#include <cstdint>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#define SKYLOAM_HUGE_PAGE_BLOCKS 1
#endif

namespace skyloam {
namespace {

#if SKYLOAM_HUGE_PAGE_BLOCKS
std::size_t round_up(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

// Maps `bytes` (a multiple of kHugePageBytes) aligned to kHugePageBytes, by
// mapping one huge page more and trimming both ends.
void* map_huge_aligned(std::size_t bytes) {
  const std::size_t span = bytes + kHugePageBytes;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = round_up(start, kHugePageBytes);
  const std::size_t head = aligned - start;
  const std::size_t tail = span - head - bytes;
  if (head != 0) ::munmap(raw, head);
  if (tail != 0) ::munmap(reinterpret_cast<void*>(aligned + bytes), tail);
  void* block = reinterpret_cast<void*>(aligned);
  ::madvise(block, bytes, MADV_HUGEPAGE);  // only a hint: failure changes nothing
  return block;
}
#endif

}  // namespace

MemoryBlock::MemoryBlock(std::size_t bytes) {
#if SKYLOAM_HUGE_PAGE_BLOCKS
  if (bytes >= kHugePageBytes) {
    size_ = round_up(bytes, kHugePageBytes);
    data_ = map_huge_aligned(size_);
    if (data_ == nullptr) throw std::bad_alloc();
    mapped_ = true;
    return;
  }
#endif
  size_ = bytes;
  data_ = ::operator new(bytes);
}

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

MemoryBlock::~MemoryBlock() { release(); }

void MemoryBlock::release() noexcept {
  if (data_ == nullptr) return;
#if SKYLOAM_HUGE_PAGE_BLOCKS
  if (mapped_) {
    ::munmap(data_, size_);
    data_ = nullptr;
    return;
  }
#endif
  ::operator delete(data_);
  data_ = nullptr;
}

}  // namespace skyloam
