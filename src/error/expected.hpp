// skyloam::expected / skyloam::unexpected: std::expected where the standard
// library has it, otherwise a small stand-in with the same core interface.
//
// The stand-in exists for the fuzzing build (clang 14 over libstdc++ 12,
// whose <expected> is hidden from that compiler). Code in this project uses
// only: construction from a value or an unexpected, has_value(), operator
// bool, operator* / ->, value(), error(). No monadic operations.
#pragma once

#include <version>

#if defined(__cpp_lib_expected) && __cpp_lib_expected >= 202202L
#include <expected>

namespace skyloam {
template <class T, class E>
using expected = std::expected<T, E>;
template <class E>
using unexpected = std::unexpected<E>;
}  // namespace skyloam

#else
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

namespace skyloam {

template <class E>
class unexpected {
 public:
  explicit unexpected(E error) : error_(std::move(error)) {}
  E& error() & { return error_; }
  const E& error() const& { return error_; }
  E&& error() && { return std::move(error_); }

 private:
  E error_;
};

template <class T, class E>
class expected {
 public:
  expected() requires std::is_default_constructible_v<T> : state_(std::in_place_index<0>) {}
  template <class U = T>
    requires std::is_constructible_v<T, U&&>
  expected(U&& value) : state_(std::in_place_index<0>, std::forward<U>(value)) {}
  template <class G>
  expected(unexpected<G> error) : state_(std::in_place_index<1>, std::move(error).error()) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }

  T& value() & { check(); return std::get<0>(state_); }
  const T& value() const& { check(); return std::get<0>(state_); }
  T&& value() && { check(); return std::get<0>(std::move(state_)); }

  E& error() & { return std::get<1>(state_); }
  const E& error() const& { return std::get<1>(state_); }
  E&& error() && { return std::get<1>(std::move(state_)); }

 private:
  void check() const {
    if (!has_value()) throw std::logic_error("bad expected access");
  }
  std::variant<T, E> state_;
};

template <class E>
class expected<void, E> {
 public:
  expected() = default;
  template <class G>
  expected(unexpected<G> error) : error_(std::move(error).error()) {}

  bool has_value() const { return !error_.has_value(); }
  explicit operator bool() const { return has_value(); }
  void operator*() const {}
  void value() const {
    if (error_) throw std::logic_error("bad expected access");
  }
  E& error() & { return *error_; }
  const E& error() const& { return *error_; }
  E&& error() && { return std::move(*error_); }

 private:
  std::optional<E> error_;
};

}  // namespace skyloam
#endif
