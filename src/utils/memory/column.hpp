// Column<T>: plain values in large memory that readers may share.
//
// The values start uninitialised: a builder writes every one of them, so
// nothing pays for clearing hundreds of megabytes first. `share` hands the
// storage to a reader that keeps it alive on its own (a Python buffer); from
// then on every write of the column goes to a fresh copy first (copy on
// write), so a shared view never changes under its reader. Copies of a
// Column share their storage the same way.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>

#include "utils/memory/large_memory.hpp"

namespace skyloam {

template <class T>
class Column {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  explicit Column(std::size_t size = 0)
      : storage_(size > 0 ? std::make_shared<MemoryBlock>(size * sizeof(T)) : nullptr),
        size_(size) {}
  Column(const Column&) = default;
  Column& operator=(const Column&) = default;
  // A column moved from is empty.
  Column(Column&& other) noexcept
      : storage_(std::move(other.storage_)), size_(std::exchange(other.size_, 0)) {}
  Column& operator=(Column&& other) noexcept {
    storage_ = std::move(other.storage_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return storage_ ? storage_->size() / sizeof(T) : 0; }
  const T* data() const { return storage_ ? static_cast<const T*>(storage_->data()) : nullptr; }
  const T& operator[](std::size_t i) const { return data()[i]; }
  std::span<const T> values() const { return {data(), size_}; }

  // The values to write.
  std::span<T> writable() {
    make_unshared(size_);
    return {mutable_data(), size_};
  }

  // `count` more values at the end, uninitialised, to write. Storage grows
  // by doubling; what is reserved but never written is never touched.
  std::span<T> extend(std::size_t count) {
    const std::size_t old_size = size_;
    const std::size_t needed = old_size + count;
    if (needed > capacity()) {
      reallocate(std::max(needed, 2 * capacity()));
    } else {
      make_unshared(capacity());
    }
    size_ = needed;
    return {mutable_data() + old_size, count};
  }

  void reserve(std::size_t count) {
    if (count > capacity()) reallocate(count);
  }

  // The storage, for a reader that keeps the values alive on its own.
  std::shared_ptr<const MemoryBlock> share() const {
    return storage_ ? storage_ : std::make_shared<MemoryBlock>(0);
  }

 private:
  T* mutable_data() { return storage_ ? static_cast<T*>(storage_->data()) : nullptr; }

  void make_unshared(std::size_t capacity) {
    if (storage_.use_count() > 1) {
      reallocate(capacity);
    } else {
      // The last other owner let go on another thread after reading the
      // values; its release of the count orders those reads before our
      // writes.
      std::atomic_thread_fence(std::memory_order_acquire);
    }
  }

  void reallocate(std::size_t capacity) {
    auto fresh = std::make_shared<MemoryBlock>(capacity * sizeof(T));
    if (size_ > 0) std::memcpy(fresh->data(), data(), size_ * sizeof(T));
    storage_ = std::move(fresh);
  }

  std::shared_ptr<MemoryBlock> storage_;
  std::size_t size_;
};

}  // namespace skyloam
