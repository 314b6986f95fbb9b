#include "utils/memory/large_memory.hpp"

#include <cstdint>
#include <new>
#include <utility>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKYLOAM_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SKYLOAM_ADDRESS_SANITIZER 1
#endif

// Under AddressSanitizer every block comes from the heap, where overruns of
// its ends are caught.
#if defined(__linux__) && !defined(SKYLOAM_ADDRESS_SANITIZER)
#include <sys/mman.h>
#define SKYLOAM_HUGE_PAGES 1
#endif

namespace skyloam {
namespace {

#if SKYLOAM_HUGE_PAGES
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

void* allocate_large(std::size_t bytes) {
#if SKYLOAM_HUGE_PAGES
  if (bytes >= kHugePageBytes) {
    void* block = map_huge_aligned(round_up(bytes, kHugePageBytes));
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
#endif
  return ::operator new(bytes);
}

void release_large(void* data, [[maybe_unused]] std::size_t bytes) noexcept {
  if (data == nullptr) return;
#if SKYLOAM_HUGE_PAGES
  if (bytes >= kHugePageBytes) {
    ::munmap(data, round_up(bytes, kHugePageBytes));
    return;
  }
#endif
  ::operator delete(data);
}

bool large_allocations_use_huge_pages() {
#if SKYLOAM_HUGE_PAGES
  return true;
#else
  return false;
#endif
}

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    release_large(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

}  // namespace skyloam
