// Polynomial detrending of one arc.
//
// `detrend(t, values, max_order)` removes the least-squares polynomial whose
// residual has the smallest RMS among the orders k = 2 .. max_order with
// 3k < n (ties keep the lower order). Times are first mapped to
// x = (t - t[0]) / max(t[n-1] - t[0], 1). Each fit solves A c ~ values
// (A[i][j] = x_i^j) through a singular value decomposition of A in which
// every singular value <= sigma_max * n * 2^-52 counts as zero. The
// decomposition of A is Q times that of the small triangle R of one QR
// decomposition, shared by all orders. Arcs of fewer than
// 12 samples, and max_order < 2, only lose their mean (order 0); an empty
// arc gives an empty residual. Degenerate times (all equal, repeated) are
// absorbed by the scale floor and the truncation: nothing fails.
//
// Orders above kMaxDetrendOrder are never tried: the work grows with the
// square of the order and higher powers of x in [0, 1] add nothing a double
// can hold, so a larger max_order acts as kMaxDetrendOrder.
//
// Precondition: t and values have the same length (a mismatch throws
// std::invalid_argument). `detrend_arc`, the checked entry point, fails
// instead with the Message "t and values must have the same length", and
// with a Message naming max_order when it exceeds kMaxDetrendOrder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "error/gnss_error.hpp"

namespace skyloam {

inline constexpr std::size_t kMaxDetrendOrder = 32;

struct DetrendResult {
  std::vector<double> residual;
  std::uint32_t order = 0;  // 0: only the mean was removed
};

DetrendResult detrend(std::span<const double> t, std::span<const double> values,
                      std::size_t max_order);

Result<DetrendResult> detrend_arc(std::span<const double> t, std::span<const double> values,
                                  std::size_t max_order = 9);

}  // namespace skyloam
