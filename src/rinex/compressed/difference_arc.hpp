// DifferenceArc: the running value of one compact RINEX observable.
//
// An arc starts from a value with a difference order n (`n&v`); each later
// epoch brings one difference: the first difference in the arc's second
// epoch, the second in its third, and the n-th from epoch n+1 on. The arc
// keeps y[j], the j-th difference of the last epoch; a new difference of
// order m updates y[m] and then every lower order, y[0] being the value.
// Sums are checked: a value outside 64 bits is reported, never wrapped.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace skyloam {

class DifferenceArc {
 public:
  static constexpr int kMaxOrder = 9;

  bool running() const { return order_ >= 0; }
  void end() { order_ = -1; }

  // `order` must lie in 0..kMaxOrder.
  void start(int order, std::int64_t value) {
    order_ = static_cast<std::int8_t>(order);
    count_ = 0;
    y_[0] = value;
  }

  // Applies the next difference of a running arc; false when a sum leaves
  // the 64-bit range. The value is y(0) afterwards.
  bool advance(std::int64_t difference) {
    count_ = static_cast<std::int8_t>(std::min<int>(count_ + 1, order_));
    const int top = count_;
    y_[static_cast<std::size_t>(top)] = difference;
    for (int j = top; j > 0; --j) {
      const auto lower = static_cast<std::size_t>(j - 1);
      if (__builtin_add_overflow(y_[lower], y_[lower + 1], &y_[lower])) return false;
    }
    return true;
  }

  std::int64_t value() const { return y_[0]; }

 private:
  std::int8_t order_ = -1;  // -1: no running arc
  std::int8_t count_ = 0;   // differences taken so far, at most order_
  std::array<std::int64_t, kMaxOrder + 1> y_{};
};

}  // namespace skyloam
