// Column<T>: a fixed number of plain values in large memory, written once by
// the code that builds it and read afterwards.
//
// The values start uninitialised: a builder writes every one of them, so
// nothing pays for clearing hundreds of megabytes first. The storage can be
// handed on as a MemoryBlock to an owner that outlives the column.
#pragma once

#include <cstddef>
#include <span>
#include <type_traits>
#include <utility>

#include "utils/memory/large_memory.hpp"

namespace skyloam {

template <class T>
class Column {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  explicit Column(std::size_t size = 0) : storage_(size * sizeof(T)), size_(size) {}

  std::size_t size() const { return size_; }
  T* data() { return static_cast<T*>(storage_.data()); }
  const T* data() const { return static_cast<const T*>(storage_.data()); }
  T& operator[](std::size_t i) { return data()[i]; }
  const T& operator[](std::size_t i) const { return data()[i]; }
  std::span<T> values() { return {data(), size_}; }
  std::span<const T> values() const { return {data(), size_}; }

  // The storage, for an owner that keeps the values alive on its own; the
  // column is empty afterwards.
  MemoryBlock take_storage() && {
    size_ = 0;
    return std::exchange(storage_, MemoryBlock(0));
  }

 private:
  MemoryBlock storage_;
  std::size_t size_;
};

}  // namespace skyloam
